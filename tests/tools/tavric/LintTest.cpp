// check's warnings about readings an author rarely means: for each kind, the documents that warn
// (at the place given) and those that must not.

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "InProcessCall.hpp"
#include "tests/tools/ToolRunner.hpp"

namespace {

struct Case {
    const char* document;
    const char* place; // "LINE:COL" of the warning, or nullptr: no warning of this kind
};

std::string check(const std::vector<std::string>& options, const std::string& document, int& status)
{
    const tooltest::Call result = tooltest::callOn("check", options, document);
    status = result.status;
    return result.err;
}

// The first line of the output that names the kind, or "".
std::string findingLine(const std::string& output, const std::string& name)
{
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.find(" [" + name + "]") != std::string::npos)
            return line;
    return "";
}

void expectWarnings(const char* name, const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document);
        int status = -1;
        const std::string output = check({}, c.document, status);
        EXPECT_EQ(status, 0) << output; // a warning alone refuses nothing, and the parse accepted it
        const std::string line = findingLine(output, name);
        if (!c.place) {
            EXPECT_EQ(line, "") << output;
            continue;
        }
        EXPECT_EQ(line.rfind(std::string("<stdin>:") + c.place + ": warning: ", 0), 0u) << output;
        // Allowed, the kind is silent and nothing else is said in its place.
        const std::string allowed = check({"--allow", name}, c.document, status);
        EXPECT_EQ(findingLine(allowed, name), "") << allowed;
    }
}

TEST(Lint, MissingTarget)
{
    expectWarnings("missing-target", {
                                         {"greeting = Hello\n", "1:1"},
                                         {"b = 1\nc = [Collection _.b [].b]\nd = b\n", nullptr},
                                         {"greeting = \"Hello\"\n", nullptr},
                                     });
}

TEST(Lint, KeywordPrefix)
{
    expectWarnings("keyword-prefix", {
                                         {"r = notes\n", "1:5"},
                                         {"v = videos\n", "1:5"},
                                         {"[a\n  b = Trueish\n]\n", "2:7"},
                                         {"\xEF\xBB\xBFr = notes\n", "1:5"}, // columns after a byte-order mark
                                         {"r = no tes\n", nullptr},
                                         {"r = \"notes\"\n", nullptr},
                                         {"notes = 1\nr = notes\n", "2:5"}, // keywords win over a field of that name
                                         {"integers = 3\nprivateKey = 1\n", nullptr},
                                     });
    // A member read as a reference: the warning says why, beside the error that it names nothing.
    int status = -1;
    const std::string output = check({}, "c = [Collection 1 notes]\n", status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(findingLine(output, "keyword-prefix").rfind("<stdin>:1:19: warning: ", 0), 0u) << output;
}

TEST(Lint, StrayWord)
{
    expectWarnings("stray-word", {
                                     {"privte secret = \"pw\"\n", "1:1"},
                                     {"x = 1\nentire y = 2\n", "2:1"},
                                     {"strng s\n", "1:1"},
                                     {"privte int x = 1\nlockd private y = 2\n", "1:1"},
                                     {"[n\n  qwerty z = 1\n]\n", "2:3"},
                                     {"private secret = \"pw\"\n", nullptr},
                                     {"a\nb = 1\n", nullptr},
                                     {"a; b = 1\n", nullptr},
                                     {"[b c = 2]\n", nullptr},
                                     {"[private record Point p x = 1]\n", nullptr}, // the node's own words
                                 });
    int status = -1;
    EXPECT_NE(check({}, "privte secret = 1\n", status).find("note: did you mean 'private'?"), std::string::npos);
    EXPECT_NE(check({}, "qwerty z = 1\n", status).find("note: put each field on a line of its own"), std::string::npos);
}

TEST(Lint, DuplicateField)
{
    expectWarnings("duplicate-field", {
                                          {"a = 1\na = 2\n", "2:1"},
                                          {"[w\n  a = 1\n  [b a = 2]\n  a = 3\n]\n", "4:3"},
                                          {"w = 1\n[w a = 1]\n", nullptr}, // opened after: not followed
                                          {"[w a = 1]\n[w b = 2]\n", nullptr},
                                          {"[w a = 1]\n[v a = 2]\na = 3\n", nullptr},
                                          {"c = [Collection [x = 1] [x = 2]]\n", nullptr},
                                          {"int a\na = 2\n", nullptr},
                                      });
}

TEST(Lint, IntegerOverflow)
{
    expectWarnings("integer-overflow",
                   {
                       {"k = 9223372036854775808\n", "1:5"},
                       {"k = -9223372036854775809\n", "1:5"},
                       {"k = 0x8000000000000000\n", "1:5"},
                       {"k = 99999999999999999999999\n", "1:5"},
                       {"k = 0b10000000000000000000000000000000000000000000000000000000000000000\n", "1:5"},
                       {"k = 01777777777777777777777\n", "1:5"},
                       {"k = -01000000000000000000001\n", "1:5"},
                       {"k = +9223372036854775808\n", "1:5"},
                       {"k = 1 + 9223372036854775808\n", "1:9"},
                       {"k = 9223372036854775807\n", nullptr},
                       {"k = -9223372036854775808\n", nullptr},
                       {"k = 0x7FFFFFFFFFFFFFFF\n", nullptr},
                       {"k = 0777777777777777777777\n", nullptr},
                       {"k = -01000000000000000000000\n", nullptr},
                       {"k = --9223372036854775808\n", nullptr},
                       {"k = 99999999999999999999999.0\n", nullptr},
                       {"k = \"99999999999999999999999\"\n", nullptr},
                   });
}

TEST(Lint, InvalidUtf8)
{
    expectWarnings("invalid-utf8", {
                                       {"s = \"caf\xE9\"\n", "1:9"},
                                       {"s = \"ok\"\nt = \"\xC3\"\n", "2:6"},
                                       {"s = \"\xED\xA0\x80\"\n", "1:6"}, // a surrogate
                                       {"s = \"\xC0\xAF\"\n", "1:6"},     // an overlong "/"
                                       {"s = \"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x99\x82\"\n", nullptr},
                                   });
}

TEST(Lint, TruncatedReal)
{
    expectWarnings("truncated-real", {
                                         {"z = 0 - 2.5\n", "1:9"},
                                         {"z = 2 * 3 + 1.5\n", "1:13"},
                                         {"z = 0.0 - 2.5\n", nullptr},
                                         {"int z = 0.5 + 1\n", nullptr},
                                         {"z = 3 / 2\n", nullptr},
                                         {"z = 2.5\n", nullptr},
                                     });
}

TEST(Lint, OptionsAndCounts)
{
    int status = -1;
    const std::string both = "r = notes\na = 1\na = 2\n";
    EXPECT_NE(check({}, both, status).find("0 errors, 2 warnings in 1 file"), std::string::npos);
    EXPECT_EQ(status, 0);
    EXPECT_NE(check({"--warnings-as-errors"}, both, status).find("0 errors, 2 warnings"), std::string::npos);
    EXPECT_EQ(status, 1);
    EXPECT_NE(check({"--allow=keyword-prefix", "--warnings-as-errors"}, both, status).find("0 errors, 1 warning "),
              std::string::npos);
    EXPECT_EQ(status, 1);
    EXPECT_NE(check({"--allow", "keyword-prefix", "--allow", "duplicate-field", "--warnings-as-errors"}, both, status)
                  .find("0 errors, 0 warnings"),
              std::string::npos);
    EXPECT_EQ(status, 0);
    EXPECT_NE(check({"--allow", "no-such-kind"}, both, status).find("no warning named 'no-such-kind'"),
              std::string::npos);
    EXPECT_EQ(status, 2);
    // A document the parser refuses gets its error, and the warnings of the text it read up to there.
    EXPECT_EQ(findingLine(check({}, "r = notes\nx = ]\n", status), "keyword-prefix"),
              "<stdin>:1:5: warning: 'notes' reads as the keyword 'no' followed by a new field 'tes' [keyword-prefix]");
    EXPECT_EQ(status, 1);
}

// No warning is lost to an error, nor to an include: every text read is linted, each file once, and
// the report is in file and place order whoever found what.
class LintEveryText : public tooltest::ScratchDirectory {};

TEST_F(LintEveryText, ErrorsAndWarningsInOrder)
{
    const std::string part = file("w2.tvr", "x = notes\ny = 1\ny = 2\n");
    const std::string inner = file("w3.tvr", "Include \"" + part + "\"\nz = noway\n");
    struct Case {
        std::string document;
        int status;
        std::vector<std::string> lines; // the diagnostic lines, in order, then the summary
    };
    const std::string w2 = part + ":1:5: warning: 'notes' reads as the keyword 'no' followed by a new field 'tes' "
                                  "[keyword-prefix]";
    const std::string w2b = part + ":3:1: warning: 'y' is declared a second time in the same node: this value "
                                   "replaces the first [duplicate-field]";
    const std::vector<Case> cases = {
        {"a = 1 / 0\nflag = nope\n",
         1,
         {"<stdin>:1:1: error: [].a: Division by zero. The expression has no value.",
          "<stdin>:2:8: warning: 'nope' reads as the keyword 'no' followed by a new field 'pe' [keyword-prefix]",
          "1 error, 1 warning in 1 file"}},
        // The warning found by the linter comes before the error found by the resolution after it.
        {"flag = nope\na = 1 / 0\n",
         1,
         {"<stdin>:1:8: warning: 'nope' reads as the keyword 'no' followed by a new field 'pe' [keyword-prefix]",
          "<stdin>:2:1: error: [].a: Division by zero. The expression has no value.", "1 error, 1 warning in 1 file"}},
        {"Include \"" + part + "\"\n", 0, {w2, w2b, "0 errors, 2 warnings in 1 file"}},
        // Included twice, directly and through another file: its warnings once.
        {"Include \"" + inner + "\"\nInclude \"" + part + "\"\n",
         0,
         {w2, w2b,
          inner + ":2:5: warning: 'noway' reads as the keyword 'no' followed by a new field 'way' [keyword-prefix]",
          "0 errors, 3 warnings in 1 file"}},
        // An included file that does not load is linted as far as it was read.
        {"Include \"" + file("bad.tvr", "k = notes\nv = ]\n") + "\"\n",
         1,
         {directory + "/bad.tvr:1:5: warning: 'notes' reads as the keyword 'no' followed by a new field 'tes' "
                      "[keyword-prefix]",
          directory + "/bad.tvr:2:5: error: Expected value.",
          "<stdin>:1:1: error: Error while resolving include directive '" + directory + "/bad.tvr'.",
          "2 errors, 1 warning in 1 file"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document);
        const tooltest::Call result = tooltest::callOn("check", {}, c.document);
        EXPECT_EQ(result.status, c.status);
        std::vector<std::string> lines;
        std::istringstream all(result.err);
        for (std::string line; std::getline(all, line);)
            if (line.find(": error: ") != std::string::npos || line.find(": warning: ") != std::string::npos ||
                line.find(" in 1 file") != std::string::npos)
                lines.push_back(line);
        EXPECT_EQ(lines, c.lines) << result.err;
    }
}

} // namespace
