// Directives: includes (both forms, nesting, cycles, failures), messages, warnings and errors.

#include "TextFixture.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/Parser.hpp"

using texttest::Document;
using texttest::ScratchDirectory;
using texttest::Text;
using namespace zul;

namespace {

struct Directives : Text {
    ScratchDirectory files;

    std::string quoted(const std::string& path) const { return "\"" + path + "\""; }
};

TEST_F(Directives, IncludeInAnyCaseMergesIntoTheCurrentNode)
{
    const std::string part = files.file("part.tvr", "b = 2\n[s y = 3]\n");
    ASSERT_TRUE(parseText("a = 1\n[s x = 1]\ninclude " + quoted(part) + "\nc = 4\n")) << messages();
    EXPECT_EQ(field("a").getInt(), 1);
    EXPECT_EQ(field("b").getInt(), 2);
    EXPECT_EQ(field("c").getInt(), 4);
    EXPECT_EQ(field("s.x").getInt(), 1);
    EXPECT_EQ(field("s.y").getInt(), 3);
}

TEST_F(Directives, IncludeInsideANodeAndTheFrenchWord)
{
    const std::string part = files.file("part.tvr", "x = 7\n");
    ASSERT_TRUE(parseText("[inner Inclure " + quoted(part) + "]\n")) << messages();
    EXPECT_EQ(field("inner.x").getInt(), 7);
    EXPECT_FALSE(root.exists("x"));
}

TEST_F(Directives, RawIncludeReadsTheSameWay)
{
    const std::string part = files.file("raw.tvr", "x = \"raw\"\n");
    ASSERT_TRUE(parseText("Includec " + quoted(part) + "\nInclurec " + quoted(part) + "\n")) << messages();
    EXPECT_EQ(field("x").getString(), "raw");
}

TEST_F(Directives, IncludesNest)
{
    const std::string inner = files.file("inner.tvr", "deep = 3\n");
    const std::string middle = files.file("middle.tvr", "mid = 2\nInclude " + quoted(inner) + "\n");
    ASSERT_TRUE(parseText("top = 1\nInclude " + quoted(middle) + "\n")) << messages();
    EXPECT_EQ(field("mid").getInt(), 2);
    EXPECT_EQ(field("deep").getInt(), 3);
}

TEST_F(Directives, AFieldNamedLikeADirectiveIsRefused)
{
    EXPECT_FALSE(parseText("message = 5\n"));
    EXPECT_EQ(lines().front(),
              "(Entry stdin, line 1, col 9): Expected string after a directive. Directive 'Message' is "
              "incomplete.\n");
    EXPECT_FALSE(root.exists("message"));
}

TEST_F(Directives, TextsGoToTheCallersSinkWithTheirPlaceAndNothingIsPrinted)
{
    struct Case {
        const char* text;
        int optionWord;
        bool accepted;
        DirectiveKind kind;
        const char* said;
        int line, column, endColumn; // the directive, from its word to the end of its text
        bool reachesX;               // the field after the directive
    };
    const Case cases[] = {
        {"Message \"Hello\\tworld\"\nx = 1\n", defaultOptionWord, true, DirectiveKind::Message, "Hello\tworld", 1, 1,
         23, true},
        {"a = 1\n  Attention \"careful\"\nx = 1\n", defaultOptionWord, true, DirectiveKind::Warning, "careful", 2, 3,
         22, true},
        {"Warning \"careful\"\nx = 1\n", defaultOptionWord | OptionStopOnWarnings, false, DirectiveKind::Warning,
         "careful", 1, 1, 18, false},
        {"a = 1\nError \"stop here\"\nx = 2\n", defaultOptionWord, false, DirectiveKind::Error, "stop here", 2, 1,
         18, false},
    };
    for (const Case& c : cases) {
        Document document;
        document.root.setOptionWord(c.optionWord);
        std::vector<DirectiveText> seen;
        ParseOptions options;
        options.finalize = false;
        options.directives = [&seen](const DirectiveText& directive) { seen.push_back(directive); };
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const bool accepted = zul::parse(document.root, c.text, options).accepted;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.text;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.text;
        EXPECT_EQ(accepted, c.accepted) << c.text << document.messages();
        ASSERT_EQ(seen.size(), 1u) << c.text;
        EXPECT_EQ(seen[0].kind, c.kind) << c.text;
        EXPECT_EQ(seen[0].text, c.said) << c.text;
        EXPECT_EQ(seen[0].range.entry, "stdin") << c.text;
        EXPECT_EQ(seen[0].range.start.line, c.line) << c.text;
        EXPECT_EQ(seen[0].range.start.column, c.column) << c.text;
        EXPECT_EQ(seen[0].range.end.line, c.line) << c.text;
        EXPECT_EQ(seen[0].range.end.column, c.endColumn) << c.text;
        EXPECT_EQ(document.root.exists("x"), c.reachesX) << c.text;
        if (c.kind == DirectiveKind::Error) {
            EXPECT_TRUE(document.root.exists("a")) << "fields before the error stay";
            EXPECT_EQ(document.lines().front().rfind("Parsing: Ended on error near", 0), 0u) << c.text;
        } else if (c.accepted) {
            EXPECT_TRUE(document.lines().empty()) << c.text << document.messages();
        }
    }
}

TEST_F(Directives, TextsOfAnIncludedFileNameThatFile)
{
    const std::string part = files.file("part.tvr", "y = 1\nMessage \"inside\"\n");
    std::vector<DirectiveText> seen;
    LoadOptions options;
    options.directives = [&seen](const DirectiveText& directive) { seen.push_back(directive); };
    const std::string top = files.file("top.tvr", "Include " + quoted(part) + "\n");
    ASSERT_TRUE(zul::load(root, top, options)) << messages();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].range.entry, part);
    EXPECT_EQ(seen[0].range.start.line, 2);
}

TEST_F(Directives, ErrorInAnIncludedFileNamesBothFiles)
{
    const std::string part = files.file("broken.tvr", "fine = 1\nbad = 'xy'\n");
    const std::string text = "before = 1\nInclude " + quoted(part) + "\nafter = 2\n";
    EXPECT_FALSE(parseText(text));
    ASSERT_GE(lines().size(), 4u);
    EXPECT_EQ(lines()[0], "(Entry " + part + ", line 2, col 9): Expected \"'\" after character value definition.\n");
    EXPECT_EQ(lines()[1].rfind("Parsing: Ended on error near \" 'xy'", 0), 0u);
    EXPECT_EQ(lines()[3], "(Entry stdin, line 2, col 1): Error while resolving include directive '" + part + "'.\n");
    // What the included text added before its error stays.
    EXPECT_TRUE(root.exists("fine"));
    EXPECT_FALSE(root.exists("after"));
    // The node keeps the entry name it had.
    EXPECT_EQ(root.getEntryName(), "stdin");
}

TEST_F(Directives, MissingIncludedFile)
{
    const std::string missing = files.path + "/missing.tvr";
    EXPECT_FALSE(parseText("Include " + quoted(missing) + "\n"));
    EXPECT_EQ(lines()[0], "Parsing: Cannot open input file '" + missing +
                              "' for loading a new tree. Error code is 2: 'No such file or directory'.\n");
    EXPECT_EQ(lines()[1], "(Entry stdin, line 1, col 1): Error while resolving include directive '" + missing + "'.\n");
}

TEST_F(Directives, MissingRawIncludedFileReportsTheSameWay)
{
    const std::string missing = files.path + "/missing.tvr";
    EXPECT_FALSE(parseText("Includec " + quoted(missing) + "\n"));
    EXPECT_EQ(lines()[0], "Parsing: Cannot open input file '" + missing +
                              "' for loading a new tree. Error code is 2: 'No such file or directory'.\n");
    EXPECT_EQ(lines()[1], "(Entry stdin, line 1, col 1): Error while resolving include directive '" + missing + "'.\n");
    EXPECT_EQ(root.lastError(), 23);
}

TEST_F(Directives, RawIncludeNamesTheIncludedFileAndKeepsTheEntryName)
{
    const std::string part = files.file("raw.tvr", "x = 'ab'\n");
    EXPECT_FALSE(parseText("Includec " + quoted(part) + "\n"));
    EXPECT_EQ(lines()[0], "(Entry " + part + ", line 1, col 7): Expected \"'\" after character value definition.\n");
    EXPECT_EQ(root.getEntryName(), "stdin");
}

TEST_F(Directives, AFileIncludingItselfIsRefused)
{
    const std::string self = files.path + "/self.tvr";
    files.file("self.tvr", "x = 1\nInclude " + quoted(self) + "\n");
    EXPECT_FALSE(zul::load(root, self, texttest::unresolved()));
    EXPECT_EQ(lines().front(),
              "(Entry " + self + ", line 2, col 1): Error while resolving include directive '" + self + "'.\n");
    EXPECT_EQ(root.lastError(), 23);
}

TEST_F(Directives, AnIndirectCycleIsRefusedWhateverThePathSpelling)
{
    const std::string a = files.path + "/a.tvr";
    const std::string b = files.path + "/b.tvr";
    files.file("a.tvr", "a = 1\nInclude " + quoted(b) + "\n");
    // The same file under another spelling of its path.
    const std::string again = files.path + "/./a.tvr";
    files.file("b.tvr", "b = 2\nInclude " + quoted(again) + "\n");
    EXPECT_FALSE(parseText("Include " + quoted(a) + "\n"));
    EXPECT_NE(
        messages().find("(Entry " + b + ", line 2, col 1): Error while resolving include directive '" + again + "'.\n"),
        std::string::npos)
        << messages();
    EXPECT_TRUE(root.exists("a"));
    EXPECT_TRUE(root.exists("b"));
}

TEST_F(Directives, TheSameFileMayBeIncludedTwiceInARow)
{
    const std::string part = files.file("part.tvr", "x = 1\n");
    ASSERT_TRUE(parseText("Include " + quoted(part) + "\nInclude " + quoted(part) + "\n")) << messages();
    EXPECT_EQ(root.childCount(), 1u);
}

TEST_F(Directives, AVeryLongChainOfIncludesIsBounded)
{
    // file i includes file i + 1, far beyond the nesting limit.
    const int chain = maxNestingDepth + 20;
    for (int i = 0; i < chain; ++i)
        files.file("f" + std::to_string(i) + ".tvr", "v" + std::to_string(i) + " = 1\nInclude " +
                                                         quoted(files.path + "/f" + std::to_string(i + 1) + ".tvr") +
                                                         "\n");
    EXPECT_FALSE(zul::load(root, files.path + "/f0.tvr", texttest::unresolved()));
    EXPECT_NE(messages().find("Too many nested levels of brackets, scopes or includes (more than 200)."),
              std::string::npos);
    EXPECT_TRUE(root.exists("v0"));
}

TEST_F(Directives, DirectiveWithoutStringInsideANode)
{
    EXPECT_FALSE(parseText("[a Include 5]\n"));
    EXPECT_EQ(lines().front(), "(Entry stdin, line 1, col 12): Expected string after a directive. Directive 'Include' "
                               "is incomplete.\n");
}

} // namespace
