// Every parse message as whole lines: the position prefix, the text, and the excerpt with its caret.

#include "TextFixture.hpp"

using texttest::ScratchDirectory;
using texttest::Text;
using namespace zul;

namespace {

using Messages = Text;

std::string excerpt(const std::string& shown, std::size_t caret)
{
    return "Parsing: Ended on error near \"" + shown + "\".\n" + std::string(30 + caret, ' ') + "^\n";
}

struct Case {
    const char* text;
    const char* first;            // the first message line, without its newline
    const char* second = nullptr; // where given, the second line and no other before the excerpt
};

// One failing text per message; the first line is the message, the last two the excerpt.
TEST_F(Messages, EachErrorAsAWholeLine)
{
    const Case cases[] = {
        {"[a x = 1\n", "(Entry stdin, line 2, col 1): Missing ']' token to close node or special scope."},
        {"[ = 1]", "(Entry stdin, line 1, col 3): Expected field name. Got '= 1]'."},
        {"private = 1", "(Entry stdin, line 1, col 9): Expected field name. Got '= 1'."},
        {"_ = 1", "(Entry stdin, line 1, col 1): Fieldname '_' is reserved."},
        {"limited x = 1", "(Entry stdin, line 1, col 8): Bad 'limited' statement syntax. Syntax is 'limited[XY]', "
                          "where X and Y are hexadecimal values for local scope and public."},
        {"limited[] x = 1", "(Entry stdin, line 1, col 9): Bad 'limited' statement syntax. Syntax is 'limited[XY]', "
                            "where X and Y are hexadecimal values for local scope and public."},
        {"limited[3 x = 1", "(Entry stdin, line 1, col 10): Bad 'limited' statement syntax. Syntax is "
                            "'limited[XY]', where X and Y are hexadecimal values for local scope and public."},
        {"x = 0x", "(Entry stdin, line 1, col 7): Expected hexadecimal value after '0x' prefix or '#'."},
        {"x = #g", "(Entry stdin, line 1, col 6): Expected hexadecimal value after '0x' prefix or '#'."},
        {"x = 0b2", "(Entry stdin, line 1, col 7): Expected binary value after '0b' prefix."},
        {"x = ", "(Entry stdin, line 1, col 5): Expected value."},
        {"x = $", "(Entry stdin, line 1, col 6): Expected decimal value after '$' prefix to specify a descriptor."},
        {"Include x", "(Entry stdin, line 1, col 9): Expected string after a directive. Directive 'Include' is "
                      "incomplete."},
        {"Includec 5", "(Entry stdin, line 1, col 10): Expected string after a directive. Directive 'Include' is "
                       "incomplete."},
        {"Erreur x", "(Entry stdin, line 1, col 8): Expected string after a directive. Directive 'Error' is "
                     "incomplete."},
        {"x = '\\q'", "(Entry stdin, line 1, col 7): Bad character value encountered in character or string field. "
                      "Unrecognized '\\?' format."},
        {"x = \"a\\zb\"", "(Entry stdin, line 1, col 8): Bad character value encountered in character or string "
                          "field. Unrecognized '\\?' format."},
        {"x = 'ab'", "(Entry stdin, line 1, col 7): Expected \"'\" after character value definition."},
        {"x = \"abc", "(Entry stdin, line 1, col 9): Expected '\"' after string value definition."},
        {"x = & a", "(Entry stdin, line 1, col 6): Expected Tavric adress (a field, that could be considered as a "
                    "variable) after '&' token."},
        {"x = a.", "(Entry stdin, line 1, col 7): Expected field name after '.' or '->'."},
        {"x = a->1", "(Entry stdin, line 1, col 8): Expected field name after '.' or '->'."},
        {"x = a.[]", "(Entry stdin, line 1, col 7): Root can only be used as the first element in a tavric address."},
        {"c = [Collection (8 1]", "(Entry stdin, line 1, col 20): Missing ')' after opening '('."},
        {"c = [Collection 1 = 2]", "(Entry stdin, line 1, col 19): Expected value."},
        {"c = [Collection 1 2", "(Entry stdin, line 1, col 20): Missing ']' token to close node or special scope."},
        // Positions count the text as written: a newline inside a comment counts, a tab or a carriage return is
        // one column.
        {"/* one\ntwo */ a = 1\nx = 'ab'\n",
         "(Entry stdin, line 3, col 7): Expected \"'\" after character value definition."},
        {"a = 1\r\n\tx = 'ab'\r\n", "(Entry stdin, line 2, col 8): Expected \"'\" after character value definition."},
        // An operator without its operand: the value's message, then the operator's, quoting what stands there.
        {"a = 5 +\nb = 1\n", "(Entry stdin, line 1, col 8): Expected value.",
         "(Entry stdin, line 1, col 8): Expected operand after an operator. '' encountered instead."},
        {"a = 5 + ]\n", "(Entry stdin, line 1, col 9): Expected value.",
         "(Entry stdin, line 1, col 9): Expected operand after an operator. ']' encountered instead."},
    };
    for (const Case& c : cases) {
        texttest::Document document;
        EXPECT_FALSE(document.parseText(c.text)) << c.text;
        ASSERT_GE(document.lines().size(), 3u) << c.text;
        EXPECT_EQ(document.lines().front(), std::string(c.first) + "\n") << c.text;
        if (c.second) {
            ASSERT_EQ(document.lines().size(), 4u) << c.text;
            EXPECT_EQ(document.lines()[1], std::string(c.second) + "\n") << c.text;
        }
        EXPECT_EQ(document.lines()[document.lines().size() - 2].rfind("Parsing: Ended on error near \"", 0), 0u)
            << c.text;
        EXPECT_NE(document.root.lastError(), 0) << c.text;
    }
}

// The whole text of a failure: its line, then the excerpt from three bytes before the failure, at most twenty.
TEST(MessageLines, WhereTheyStartAndEnd)
{
    struct Case {
        const char* name;
        const char* text;
        const char* first;
        const char* shown;
        std::size_t caret;
    };
    const Case cases[] = {
        // 'x' is at byte 18; the character check fails at byte 19 ('y'), shown 3 bytes into the excerpt.
        {"ExcerptStartsThreeBeforeTheFailure", "alpha = 1\nbeta = 'xy'\ngamma = 3\n",
         "(Entry stdin, line 2, col 10): Expected \"'\" after character value definition.", " 'xy' gamma = 3 ", 3},
        {"ExcerptAtTheStartOfTheText", "%", "(Entry stdin, line 1, col 1): Expected field name. Got '%'.", "%", 0},
        {"ExcerptAtTheStartOfTheText", "= %", "(Entry stdin, line 1, col 3): Expected value.", "= %", 2},
        {"ExcerptIsCutAtTwentyCharacters", "x = 1\n%abcdefghijklmnopqrstuvwxyz\n",
         "(Entry stdin, line 2, col 1): Expected field name. Got '%abcdefghijklmnopqrstuvwxyz'.",
         " 1 %abcdefghijklmnop", 3},
    };
    for (const Case& c : cases) {
        texttest::Document document;
        EXPECT_FALSE(document.parseText(c.text)) << c.name;
        EXPECT_EQ(document.messages(), std::string(c.first) + "\n" + excerpt(c.shown, c.caret)) << c.name;
    }
}

TEST_F(Messages, WarningsLetTheParseGoOn)
{
    EXPECT_TRUE(parseText("Message x = 1\nWarning\ny = 2\n"));
    EXPECT_EQ(messages(), "(Entry stdin, line 1, col 9): Expected string after a directive. Directive 'Message' is "
                          "incomplete.\n"
                          "(Entry stdin, line 3, col 1): Expected string after a directive. Directive 'Warning' is "
                          "incomplete.\n");
    EXPECT_EQ(field("x").getInt(), 1);
    EXPECT_EQ(field("y").getInt(), 2);
}

TEST_F(Messages, LoadNamesTheFile)
{
    ScratchDirectory files;
    const std::string path = files.file("bad.tvr", "ok = 1\nbad = 0x\n");
    EXPECT_FALSE(zul::load(root, path));
    EXPECT_EQ(lines().front(),
              "(Entry " + path + ", line 2, col 9): Expected hexadecimal value after '0x' prefix or '#'.\n");
    EXPECT_EQ(root.lastError(), 29);
}

TEST_F(Messages, LoadOfAMissingFile)
{
    EXPECT_FALSE(zul::load(root, "/nonexistent/dir/config.tvr"));
    EXPECT_EQ(messages(), "Parsing: Cannot open input file '/nonexistent/dir/config.tvr' for loading a new tree. Error "
                          "code is 2: 'No such file or directory'.\n");
    EXPECT_EQ(root.lastError(), 12);
}

TEST_F(Messages, LoadOfADirectory)
{
    ScratchDirectory files;
    EXPECT_FALSE(zul::load(root, files.path, texttest::unresolved()));
    EXPECT_EQ(messages(), "Parsing: Cannot open input file '" + files.path +
                              "' for loading a new tree. Error code is 21: 'Is a directory'.\n");
}

TEST_F(Messages, LastErrorHoldsTheCode)
{
    EXPECT_FALSE(parseText("x = 'ab'"));
    EXPECT_EQ(root.lastError(), 36);
    EXPECT_FALSE(parseText("[a"));
    EXPECT_EQ(root.lastError(), 24);
}

} // namespace

namespace {

// The records behind the lines, as a tool lays them out: severity, range, text; and where an
// unclosed bracket or string was opened.
struct Point {
    int line, column;
    std::size_t offset;
};

void expectRange(const SourceRange& range, Point start, Point end)
{
    EXPECT_EQ(range.entry, "stdin");
    EXPECT_EQ(range.start.line, start.line);
    EXPECT_EQ(range.start.column, start.column);
    EXPECT_EQ(range.start.offset, start.offset);
    EXPECT_EQ(range.end.line, end.line);
    EXPECT_EQ(range.end.column, end.column);
    EXPECT_EQ(range.end.offset, end.offset);
}

TEST_F(Messages, RecordsOfErrorsWithWhatTheyPointAtAndWhereTheirScopeOpened)
{
    const char* missing = "Missing ']' token to close node or special scope.";
    const char* unclosed = "Expected '\"' after string value definition.";
    struct Case {
        const char* text;
        const char* said;
        Point start, end;  // the error: the word or the one character at its place; none at a line end
        Point opened;      // line 0: no related place
    };
    const Case cases[] = {
        {"a = 1\n[s\n  x = 1\n", missing, {4, 1, 17}, {4, 1, 17}, {2, 1, 6}},
        {"c = [Collection 1\n 2", missing, {2, 3, 20}, {2, 3, 20}, {1, 5, 4}},
        {"s = [Script x", missing, {1, 13, 12}, {1, 14, 13}, {1, 5, 4}},
        {"a = 1\ns = \"to the end\n", unclosed, {3, 1, 22}, {3, 1, 22}, {2, 5, 10}},
        {"count = 08\n", "Malformed number '08': a number that starts with 0 is octal, with the digits 0 to 7.",
         {1, 10, 9}, {1, 11, 10}, {0, 0, 0}},
        {"[ = 1]", "Expected field name. Got '= 1]'.", {1, 3, 2}, {1, 4, 3}, {0, 0, 0}},
        // Columns count bytes: "été" takes five.
        {"x = \xC3\xA9t\xC3\xA9\n", "Expected value.", {1, 5, 4}, {1, 10, 9}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        texttest::Document text;
        EXPECT_FALSE(text.parseText(c.text));
        ASSERT_EQ(text.root.diagnostics().size(), 1u) << text.messages();
        const Diagnostic& record = text.root.diagnostics()[0];
        EXPECT_EQ(record.severity, Severity::Error);
        EXPECT_EQ(record.text, c.said);
        expectRange(record.range, c.start, c.end);
        ASSERT_EQ(record.related.size(), c.opened.line > 0 ? 1u : 0u);
        if (c.opened.line > 0) {
            EXPECT_EQ(record.related[0].text, "opened here");
            expectRange(record.related[0].range, c.opened, {c.opened.line, c.opened.column + 1, c.opened.offset + 1});
        }
    }
}

TEST_F(Messages, RecordsAboutAFieldStandOnItsDeclaration)
{
    {
        texttest::Document text;
        // The line keeps line 0; the record covers the field.
        EXPECT_TRUE(text.parseText("x = 1\nCollection c = [Sequence]\n"));
        ASSERT_EQ(text.root.diagnostics().size(), 1u);
        EXPECT_EQ(text.root.diagnostics()[0].severity, Severity::Warning);
        expectRange(text.root.diagnostics()[0].range, {2, 1, 6}, {2, 26, 31});
        EXPECT_EQ(text.lines()[0].rfind("(Entry stdin, line 0, col 0): Warning", 0), 0u);
    }
    {
        // A runtime diagnostic stands where its field is declared; its subject is the field.
        texttest::Document text;
        EXPECT_TRUE(text.parseText("\n  int w = \"wide\"\n"));
        ASSERT_EQ(text.root.diagnostics().size(), 1u);
        const Diagnostic& record = text.root.diagnostics()[0];
        EXPECT_EQ(record.severity, Severity::Error);
        EXPECT_EQ(record.code, ErrorTypeMismatch);
        expectRange(record.range, {2, 3, 3}, {2, 17, 17});
        EXPECT_EQ(record.subject, "int [].w");
        EXPECT_EQ(record.text, "Cannot assign data of type field string to current field. Type mismatch.");
        text.root.clearMessages();
        EXPECT_TRUE(text.root.diagnostics().empty());
    }
}

TEST_F(Messages, AReadGivesBackTheDiagnosticsItAdded)
{
    texttest::ScratchDirectory files;
    ParseOptions options;
    options.finalize = false;
    const ReadResult first = zul::parse(root, "a = 'xy'\n", options);
    EXPECT_FALSE(first);
    ASSERT_EQ(first.diagnostics.size(), 1u);
    EXPECT_EQ(first.diagnostics[0].text, "Expected \"'\" after character value definition.");
    const ReadResult second = zul::parse(root, "b = 2\n", options);
    EXPECT_TRUE(second);
    EXPECT_TRUE(second.diagnostics.empty()) << "the root keeps the earlier ones; the read gives its own";
    EXPECT_EQ(root.diagnostics().size(), 1u);
    const ReadResult missing = zul::load(root, files.path + "/none.tvr");
    EXPECT_FALSE(missing);
    ASSERT_EQ(missing.diagnostics.size(), 1u);
    EXPECT_EQ(missing.diagnostics[0].range.entry, files.path + "/none.tvr");
    EXPECT_FALSE(missing.diagnostics[0].range.known());
}

TEST_F(Messages, FieldsKeepWhereTheyAreDeclared)
{
    texttest::ScratchDirectory files;
    const std::string part = files.file("part.tvr", "\n  inner = 1\n");
    ASSERT_TRUE(parseText("a = 1\n[s\n  b = 2\n  Include \"" + part + "\"\n]\nc = [Collection 7 8 [m x = 1]]\n", true))
        << messages();
    struct Case {
        const char* address;
        std::string entry;
        int line, column, endLine, endColumn; // a node ends past its "]"
    };
    const Case cases[] = {
        {"a", "stdin", 1, 1, 1, 6},    {"s", "stdin", 2, 2, 5, 2},  {"s.b", "stdin", 3, 3, 3, 8},
        {"s.inner", part, 2, 3, 2, 12}, {"c", "stdin", 6, 1, 6, 31},
    };
    for (const Case& c : cases) {
        const SourceRange where = at(c.address).place();
        EXPECT_EQ(where.entry, c.entry) << c.address;
        EXPECT_EQ(where.start.line, c.line) << c.address;
        EXPECT_EQ(where.start.column, c.column) << c.address;
        EXPECT_EQ(where.end.line, c.endLine) << c.address;
        EXPECT_EQ(where.end.column, c.endColumn) << c.address;
    }
    // Plain members share their collection's place; a bracketed member has its own.
    const Collection& members = *at("c").getCollection();
    EXPECT_EQ(members.elementAt(1)->place().start.line, 6);
    EXPECT_EQ(members.elementAt(1)->place().start.column, 1);
    EXPECT_EQ(members.elementAt(2)->place().start.column, 22);
    EXPECT_EQ(members.elementAt(2)->place().end.column, 30);
    const Tavric copy(at("s.b"));
    EXPECT_EQ(copy.place().start.line, 3);
    EXPECT_FALSE(Tavric(&dictionary).place().known());
}

TEST_F(Messages, AFailedLookupIsPlacedAtTheFieldThatNeedsItAndNamesWhatItMissed)
{
    EXPECT_FALSE(parseText("bonus = 2\n[sword\n  damage = 4 + bonus\n]\n", true));
    ASSERT_FALSE(root.diagnostics().empty()) << messages();
    const Diagnostic& record = root.diagnostics().front();
    EXPECT_EQ(record.range.start.line, 3);
    EXPECT_EQ(record.range.start.column, 3);
    EXPECT_EQ(record.missingName, "bonus");
    EXPECT_EQ(record.searchedIn, "[].sword");
    // The library's own line is unchanged.
    EXPECT_EQ(lines().front(), "[].sword : Node is constant. Cannot perform 'create' operation on it.\n");
    // A read by a program later stands at the field read.
    root.clearMessages();
    static_cast<const Tavric&>(at("sword")).child("none");
    ASSERT_EQ(root.diagnostics().size(), 1u);
    EXPECT_EQ(root.diagnostics()[0].range.start.line, 2);
    EXPECT_EQ(root.diagnostics()[0].missingName, "none");
}

} // namespace
