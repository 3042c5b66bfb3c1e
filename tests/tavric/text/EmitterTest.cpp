// Values as text and the emitter: the literals read back as the same values, the emitter's text as
// the same tree, laid out as the formatter lays it out.

#include <cmath>
#include <limits>

#include "TextFixture.hpp"
#include "tavric/format/Formatter.hpp"
#include "tavric/text/Emitter.hpp"
#include "tavric/text/Literals.hpp"

using texttest::Document;
using namespace zul;

namespace {

TEST(Literals, StringsInBothForms)
{
    const struct {
        std::string text;
        const char* ascii;
        const char* readable;
    } cases[] = {
        {"plain", "\"plain\"", "\"plain\""},
        {"l'eau \"vive\" \\", "\"l\\'eau \\\"vive\\\" \\\\\"", "\"l'eau \\\"vive\\\" \\\\\""},
        {"\t\n\r\a\b\f\v", "\"\\t\\n\\r\\a\\b\\f\\v\"", "\"\\t\\n\\r\\a\\b\\f\\v\""},
        // An octal escape escapes the octal digits after it, not other digits.
        {std::string(1, '\0') + "78", "\"\\0\\0678\"", "\"\\0\\0678\""},
        {std::string(1, '\x01') + "5\x7F", "\"\\01\\065\\0177\"", "\"\\01\\065\\0177\""},
        {"caf\xC3\xA9", "\"caf\\0303\\0251\"", "\"caf\xC3\xA9\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ascii);
        EXPECT_EQ(quotedString(c.text), c.ascii);
        EXPECT_EQ(quotedString(c.text, QuoteForm::Readable), c.readable);
        for (const std::string& literal : {quotedString(c.text), quotedString(c.text, QuoteForm::Readable)}) {
            Document document;
            ASSERT_TRUE(document.parseText("s = " + literal + "\n")) << literal;
            EXPECT_EQ(document.root.child("s").rawString(), c.text);
        }
    }
}

TEST(Literals, CharactersReadBack)
{
    for (const std::uint16_t value : {65, 39, 92, 0, 10, 200, 0xA9C3, 0x1234}) {
        SCOPED_TRACE(value);
        Document document;
        ASSERT_TRUE(document.parseText("c = " + quotedChar(value) + "\n")) << quotedChar(value);
        EXPECT_EQ(document.root.child("c").rawInt(), value);
    }
    EXPECT_EQ(quotedChar('\''), "'\\''");
}

TEST(Literals, RealsInBothForms)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        const char* shortest;
        const char* writer;
    } cases[] = {
        {0.1, "0.1", "0.1000000000000000"},
        {-2.5, "-2.5", "-2.5000000000000000"},
        {5.0, "5.0", "5.0000000000000000"},
        {-0.0, "-0.0", "-0.0000000000000000"},
        {1e-20, "0.00000000000000000001", "0.00000000000000000001"},
        {123456789012.5, "123456789012.5", "123456789012.5000000000000000"},
        {std::nan(""), "0.0", "0.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shortest);
        EXPECT_EQ(realText(c.value), c.shortest);
        EXPECT_EQ(realText(c.value, RealForm::Writer), c.writer);
    }
    // Every form reads back as the same double, the largest and the infinities included.
    for (const double value : {0.1, 1e300, -1e-300, std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::denorm_min(), 9007199254740993.0, inf, -inf})
        for (const RealForm form : {RealForm::Shortest, RealForm::Writer}) {
            Document document;
            ASSERT_TRUE(document.parseText("r = " + realText(value, form) + "\n"));
            EXPECT_EQ(document.root.child("r").rawReal(), value) << realText(value, form);
        }
}

// Builds a text with the emitter.
template <typename Steps>
std::string emitted(Steps steps, const EmitterOptions& options = {})
{
    std::string text;
    Emitter emitter(text, options);
    steps(emitter);
    return text;
}

TEST(Emitter, Layouts)
{
    const struct {
        const char* name;
        std::string text;
        const char* expected;
    } cases[] = {
        {"fields and nodes", emitted([](Emitter& e) {
             e.comment("made");
             e.value("a", "1");
             e.beginNode("n");
             e.value("b", quotedString("x"));
             e.beginNode("m");
             e.value("c", "2");
             e.end();
             e.end();
         }),
         "// made\na = 1\n[n\n  b = \"x\"\n  [m\n    c = 2\n  ]\n]\n"},
        {"own values", emitted([](Emitter& e) {
             e.value("", "7");
             e.beginNode("n");
             e.value("", "1");
             e.value("b", "2");
             e.end();
         }),
         "= 7\n[n = 1\n  b = 2\n]\n"},
        {"rows and members",
         emitted(
             [](Emitter& e) {
                 e.beginCollection("l");
                 for (int i = 1; i <= 5; ++i)
                     e.value("", std::to_string(i));
                 e.beginNode("item");
                 e.value("x", "1");
                 e.end();
                 e.beginCollection("item");
                 e.value("", "9");
                 e.end();
                 e.beginCollection("item");
                 e.end();
                 e.value("", "6");
                 e.end();
                 e.beginCollection("empty");
                 e.end();
             },
             EmitterOptions{2, 2}),
         "l = [Collection\n  1 2\n  3 4\n  5\n  [item\n    x = 1\n  ]\n  [item = [Collection\n      9\n  ]]\n"
         "  [item = [Collection]]\n  6\n]\nempty = [Collection]\n"},
        {"a format and a collection as own value", emitted([](Emitter& e) {
             e.beginNode("n");
             e.beginCollection("", 0);
             e.value("", "1");
             e.end();
             e.beginCollection("grid", 3);
             for (int i = 0; i < 6; ++i)
                 e.value("", "0");
             e.end();
             e.end();
         }),
         "[n = [Collection\n    1\n  ]\n  grid = [Collection (3)\n    0 0 0\n    0 0 0\n  ]\n]\n"},
        {"verbatim text", emitted([](Emitter& e) {
             e.beginNode("t");
             e.verbatim("a = 1\n\n[b\n]");
             e.end();
             e.blankLine();
             e.value("z", "0");
         }),
         "[t\n  a = 1\n\n  [b\n  ]\n]\n\nz = 0\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text, c.expected);
        // Read as written, and already laid out.
        std::string laidOut;
        EXPECT_TRUE(formatSource(c.text, laidOut)) << c.text;
        EXPECT_EQ(laidOut, c.text);
    }
}

} // namespace
