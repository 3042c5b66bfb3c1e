// The value forms of the document parser and where a literal ends.

#include <cstdint>
#include <limits>

#include "TextFixture.hpp"

using texttest::Text;
using namespace zul;

namespace {

struct Values : Text {
    // Parses one line "x = VALUE" and gives x.
    const Tavric& value(const std::string& text)
    {
        EXPECT_TRUE(parseText("x = " + text + "\n")) << text << "\n" << messages();
        return at("x");
    }
};

TEST_F(Values, RealsNeedADigitBeforeThePoint)
{
    EXPECT_EQ(value("1.5").getType(), TypeReal);
    EXPECT_DOUBLE_EQ(at("x").getReal(), 1.5);
    EXPECT_DOUBLE_EQ(value("5.").getReal(), 5.0);
    EXPECT_EQ(at("x").getType(), TypeReal);
    EXPECT_FALSE(parseText("y = .5\n"));
    EXPECT_EQ(lines().front(), "(Entry stdin, line 1, col 5): Expected value.\n");
}

TEST_F(Values, SignedRealsReadBack)
{
    // The writer writes negative reals with their sign; they must read back.
    EXPECT_DOUBLE_EQ(value("-1.25").getReal(), -1.25);
    EXPECT_DOUBLE_EQ(value("+2.5").getReal(), 2.5);
    // A run of signs gives zero, as for the integers.
    EXPECT_DOUBLE_EQ(value("--1.5").getReal(), 0.0);
}

TEST_F(Values, RealsIgnoreTheLocaleAndOverflowToInfinity)
{
    EXPECT_DOUBLE_EQ(value("0.1").getReal(), 0.1);
    EXPECT_EQ(value("1" + std::string(400, '0') + ".0").getReal(), std::numeric_limits<double>::infinity());
    EXPECT_EQ(value("0." + std::string(400, '0') + "1").getReal(), 0.0);
}

TEST_F(Values, KeywordsInAnyCase)
{
    for (const char* word : {"True", "yes", "OUI", "vrai"}) {
        EXPECT_EQ(value(word).getType(), TypeBool) << word;
        EXPECT_TRUE(at("x").getBool()) << word;
    }
    for (const char* word : {"False", "no", "NON", "faux"}) {
        EXPECT_EQ(value(word).getType(), TypeBool) << word;
        EXPECT_FALSE(at("x").getBool()) << word;
    }
}

TEST_F(Values, NothingNowhereAndNull)
{
    const Tavric& nothing = value("Rien");
    EXPECT_TRUE(nothing.isEmpty());
    EXPECT_EQ(nothing.getKind(), KindValue);

    const Tavric& nowhere = value("Nowhere");
    EXPECT_EQ(nowhere.getKind(), KindPointer);
    EXPECT_EQ(nowhere.getAddressText(), "nowhere");

    const Tavric& null = value("NULL");
    EXPECT_EQ(null.getType(), TypePointer);
    EXPECT_EQ(null.rawPointer(), 0);
}

TEST_F(Values, KeywordsAreMatchedAsPrefixes)
{
    // "Yes" is taken; the rest of the word is read as what follows the value: a field.
    ASSERT_TRUE(parseText("flag = yesterday\n"));
    EXPECT_TRUE(at("flag").getBool());
    EXPECT_NE(&at("terday"), &nullField);
}

TEST_F(Values, Integers)
{
    EXPECT_EQ(value("0x1F").getInt(), 31);
    EXPECT_EQ(value("0XfF").getInt(), 255);
    EXPECT_EQ(value("-0x10").getInt(), -16);
    EXPECT_EQ(value("0b101").getInt(), 5);
    EXPECT_EQ(value("010").getInt(), 8);
    EXPECT_EQ(value("-017").getInt(), -15);
    EXPECT_EQ(value("0").getInt(), 0);
    EXPECT_EQ(value("-5").getInt(), -5);
    EXPECT_EQ(value("+5").getInt(), 5);
    EXPECT_EQ(value("1234567").getInt(), 1234567);
    EXPECT_EQ(at("x").getType(), TypeInt);
    EXPECT_EQ(at("x").getKind(), KindValue);
}

TEST_F(Values, IntegerEdges)
{
    // Several signs give zero; out of range saturates, as the C conversion does.
    EXPECT_EQ(value("+-5").getInt(), 0);
    EXPECT_EQ(value("99999999999999999999").getInt(), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(value("-9223372036854775808").getInt(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(value("9223372036854775807").getInt(), std::numeric_limits<int64_t>::max());
}

TEST_F(Values, Characters)
{
    EXPECT_EQ(value("'a'").getType(), TypeChar);
    EXPECT_EQ(at("x").getChar(), 'a');
    EXPECT_EQ(value("'\\n'").getChar(), 10);
    EXPECT_EQ(value("'\\''").getChar(), 39);
    EXPECT_EQ(value("'\\0101'").getChar(), 65);
    EXPECT_EQ(value("'\\0'").getChar(), 0);
    // Two bytes, the first in the low half.
    EXPECT_EQ(value("'\xC3\xA9'").getChar(), 0xA9C3);
}

TEST_F(Values, Strings)
{
    EXPECT_EQ(value("\"x\\ty\"").getString(), "x\ty");
    EXPECT_EQ(value("\"a\\\"b\\\\c\"").getString(), "a\"b\\c");
    EXPECT_EQ(value("\"\\0101\\a\\b\\f\\r\\v\"").getString(), "A\a\b\f\r\v");
    EXPECT_EQ(value("\"\"").getString(), "");
    EXPECT_EQ(value("\"caf\xC3\xA9\"").getString(), "caf\xC3\xA9");
    EXPECT_EQ(value("\"a;b = c\"").getString(), "a;b = c");
}

TEST_F(Values, CommentMarksInsideLiteralsAreText)
{
    // text, the tree it gives (written plain), which must read back as itself
    const std::pair<const char*, const char*> cases[] = {
        {"a = \"x /* y\"\nb = 2\nc = \"z */ w\"\n", "a=\"x /* y\"\nb=2\nc=\"z */ w\"\n"},
        {"url = \"http://x/\"", "url=\"http://x/\"\n"},
        {"c = '/' // slash\nd = 1 /* two\nlines */ e = 2\n", "c='/'\nd=1\ne=2\n"},
        {"s = \"/*\"/* c */\nq = \"a//b\" // and \"quoted\" /* text\n", "s=\"/*\"\nq=\"a//b\"\n"},
        {"[n x = \"*/\" ] \"m\" = '*' // c\n", "[n\nx=\"*/\"\n\n]\nm='*'\n"},
        {"k = 4 /2 //2\nl = 4 /* / */ / 2\n", "k=2\nl=2\n"},
    };
    for (const auto& c : cases) {
        Document first;
        ASSERT_TRUE(first.parseText(c.first)) << c.first << "\n" << first.messages();
        EXPECT_EQ(first.written(true), c.second) << c.first;
        Document again;
        ASSERT_TRUE(again.parseText(c.second)) << c.second;
        EXPECT_EQ(again.written(true), c.second);
    }
}

TEST_F(Values, ACommentNeverClosedIsAnErrorAtItsOpening)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a = 1\n/* open", "line 2, col 1"},        {"a = 1 /* open\nb = 2", "line 1, col 7"},
        {"a = /* open", "line 1, col 5"},           {"[n x = 1 /* open\n]", "line 1, col 10"},
        {"a = \"/* x\" /* open", "line 1, col 12"}, {"a = \"x\" /* closed */ b /* open", "line 1, col 24"},
        {"int /* open", "line 1, col 5"},
    };
    for (const auto& c : cases) {
        Document document;
        EXPECT_FALSE(document.parseText(c.first)) << c.first;
        ASSERT_FALSE(document.lines().empty()) << c.first;
        EXPECT_EQ(document.lines().front(),
                  std::string("(Entry stdin, ") + c.second + "): Comment opened with '/*' is never closed with '*/'.\n")
            << c.first;
    }
}

TEST_F(Values, PointersAndDescriptors)
{
    EXPECT_EQ(value("#ff").getType(), TypePointer);
    EXPECT_EQ(at("x").rawPointer(), 255);
    EXPECT_EQ(value("#FFFFFFFF").rawPointer(), -1);
    EXPECT_EQ(value("$12").getType(), TypeDescriptor);
    EXPECT_EQ(at("x").rawInt(), 12);
}

TEST_F(Values, Addresses)
{
    const Tavric& reference = value("b.c");
    EXPECT_EQ(reference.getKind(), KindReference);
    EXPECT_EQ(reference.getAddressText(), "b.c");

    const Tavric& pointer = value("&b->c");
    EXPECT_EQ(pointer.getKind(), KindPointer);
    EXPECT_EQ(pointer.getAddressText(), "b->c");

    EXPECT_EQ(value("[]").getAddressText(), "[]");
    EXPECT_EQ(value("&{}.a").getAddressText(), "{}.a");
    EXPECT_EQ(value("_._.up").getAddressText(), "_._.up");
}

TEST_F(Values, AddressesResolveOnFinalize)
{
    ASSERT_TRUE(parseText("[b c = 7]\nr = b.c\np = &b.c\n", true)) << messages();
    EXPECT_EQ(field("r").getInt(), 7);
    EXPECT_EQ(&field("p").dereference(), &at("b.c"));
}

TEST_F(Values, LiteralEndsAtASeparatorAfterBlanks)
{
    ASSERT_TRUE(parseText("x = 5 ; y = 1\nz = 5   \nw = 2 + 1\n")) << messages();
    EXPECT_EQ(at("x").getKind(), KindValue);
    EXPECT_EQ(at("y").getKind(), KindValue);
    EXPECT_EQ(at("z").getKind(), KindValue);
    EXPECT_EQ(at("w").getKind(), KindComputed);
    EXPECT_EQ(field("w").getInt(), 3);
}

TEST_F(Values, ValueBeforeABracketIsTheValue)
{
    // "5]" is read as an expression without operator: the value itself.
    ASSERT_TRUE(parseText("[s x = 5]\n[t y = b]\n")) << messages();
    EXPECT_EQ(at("s.x").getKind(), KindValue);
    EXPECT_EQ(field("s.x").getInt(), 5);
    EXPECT_EQ(at("t.y").getKind(), KindReference);
}

TEST_F(Values, ValueStartsOnTheLineOfTheSign)
{
    EXPECT_FALSE(parseText("x =\n5\n"));
    EXPECT_EQ(lines().front(), "(Entry stdin, line 1, col 4): Expected value.\n");
}

TEST_F(Values, LineContinuationJoinsAnAssignment)
{
    ASSERT_TRUE(parseText("x = 5 \\\n + 1\n")) << messages();
    EXPECT_EQ(field("x").getInt(), 6);
}

TEST_F(Values, LiteralOfAnotherTypeThanDeclared)
{
    EXPECT_TRUE(parseText("int x = \"a\"\n"));
    EXPECT_EQ(messages(), "int [].x : Cannot assign data of type field string to current field. Type mismatch.\n");
    EXPECT_TRUE(at("x").isEmpty());
}

TEST_F(Values, LiteralOfAnotherTypeStopsUnderStopOnWarning)
{
    root.setOptionWord(3);
    EXPECT_FALSE(parseText("int x = \"a\"\n"));
    EXPECT_EQ(lines().front(), "int [].x : Cannot assign data of type field string to current field. Type mismatch.\n");
}

} // namespace
