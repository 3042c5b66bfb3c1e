// The tool's verbs called in-process, through the streams they are given: exit statuses decided in
// one place, directive texts on the error stream, and a summary that counts exactly what was printed.

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "InProcessCall.hpp"

namespace {

using tooltest::call;
using tooltest::Call;

std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++found;
    return found;
}

TEST(ToolCall, StatusesAndUsage)
{
    const struct {
        std::vector<std::string> words;
        const char* input;
        int status;
        const char* out;
        const char* err; // the whole of it, or its last line when it starts with "..."
    } cases[] = {
        {{}, "", 2, "", "...Try 'tavric help'.\n"},
        {{"frobnicate"}, "", 2, "", "...Try 'tavric help'.\n"},
        {{"json"}, "", 2, "", "usage: tavric json [--all] [--raw] FILE\nTry 'tavric help json'.\n"},
        {{"get", "-", "x", "--as", "float"}, "x = 1", 2, "", "...Try 'tavric help get'.\n"},
        {{"fmt", "--bogus", "-"}, "", 2, "", "...Try 'tavric help fmt'.\n"},
        {{"help", "nothing"}, "", 2, "", "...Try 'tavric help help'.\n"},
        // Each verb takes the options it declares, in their forms, and no other.
        {{"check", "--color", "-"}, "", 2, "", "...Try 'tavric help check'.\n"},
        {{"check", "--color=sometimes", "-"}, "", 2, "", "...Try 'tavric help check'.\n"},
        {{"get", "-", "x", "--as"}, "x = 1", 2, "", "...Try 'tavric help get'.\n"},
        {{"fmt", "--color=always", "-"},
         "",
         2,
         "",
         "usage: tavric fmt [--check] [--diff] [-w] FILE... (- reads standard input)\nTry 'tavric help fmt'.\n"},
        {{"check", "--allow", "stray-word", "--allow=keyword-prefix", "--color=never", "-"},
         "x int y = 1\nz = notes\n",
         0,
         "",
         "0 errors, 0 warnings in 1 file\n"},
        {{"check", "--allow=nonsense", "-"}, "", 2, "", "...Try 'tavric help check'.\n"},
        {{"dump", "--color", "--color=never", "-"}, "a = 1\n", 0, "a = 1\n", ""},
        {{"get", "--as=int", "-", "x", "--as", "real"}, "x = 2", 0, "2.0\n", ""},
        {{"fmt", "--write", "--check", "-"}, "", 2, "", "...Try 'tavric help fmt'.\n"},
        {{"fmt", "--", "-w"}, "", 1, "", "-w: error: No such file or directory\n"},
        // An empty document, or one of blanks and comments, is an empty tree.
        {{"check", "-"}, "", 0, "", "0 errors, 0 warnings in 1 file\n"},
        {{"json", "-"}, "  // nothing here\n/* nor here */\n", 0, "{}\n", ""},
        {{"dump", "-"}, "\n\n", 0, "", ""},
        {{"fmt", "-"}, "", 0, "", ""},
        {{"get", "-", "x", "--as", "int"}, "x = 6 * 7", 0, "42\n", ""},
        {{"json", "-"}, "[s x = 2 + 3]\n", 0, "{\n  \"s\": {\n    \"x\": 5\n  }\n}\n", ""},
        {{"scramble", "-"}, "", 0, "", ""},
        // Directive texts go to the error stream; an Error counts as an error, a Warning as a warning.
        {{"json", "-"}, "Message \"hi\"\na = 1\n", 0, "{\n  \"a\": 1\n}\n", "hi\n"},
        {{"dump", "-"}, "a = 1\nMessage \"hi\"\n", 0, "a = 1\n", "hi\n"},
        {{"check", "-"},
         "a = 1\n  Warning \"careful\"\n",
         0,
         "",
         "<stdin>:2:3: warning: careful\n   Warning \"careful\"\n   ^\n0 errors, 1 warning in 1 file\n"},
        {{"check", "--warnings-as-errors", "-"}, "Warning \"careful\"\n", 1, "", "...0 errors, 1 warning in 1 file\n"},
        {{"check", "-"},
         "Error \"stop\"\n",
         1,
         "",
         "<stdin>:1:1: error: stop\n Error \"stop\"\n ^\n1 error, 0 warnings in 1 file\n"},
        {{"get", "-", "a"}, "a = 1\nError \"stop\"\n", 1, "", "<stdin>:2:1: error: stop\n Error \"stop\"\n ^\n"},
    };
    for (const auto& row : cases) {
        const Call result = call(row.words, row.input);
        std::string what;
        for (const std::string& word : row.words)
            what += word + " ";
        EXPECT_EQ(result.status, row.status) << what << result.err;
        EXPECT_EQ(result.out, row.out) << what;
        const std::string err = row.err;
        if (err.rfind("...", 0) == 0) {
            EXPECT_GE(result.err.size(), err.size() - 3) << what;
            EXPECT_EQ(result.err.substr(result.err.size() - (err.size() - 3)), err.substr(3)) << what << result.err;
        } else {
            EXPECT_EQ(result.err, err) << what;
        }
    }
}

// Whatever stops a document, every verb says so in at least one line naming the input, nothing
// goes to standard output, and check's summary counts the errors it printed.
TEST(ToolCall, NoRefusalWithoutAMessage)
{
    const char* const broken[] = {
        "a = 1\nb = 08\n", "]\n",        "9x = 1\n",      "a = 1 2\n",        "x = 1..2\n", "x = 0x1F.5\n",
        "\xC3\xA9 = 1\n",  "x = 'ab'\n", "[s\n  x = 1\n", "Error \"stop\"\n",
    };
    const std::vector<std::vector<std::string>> verbs = {
        {"check", "-"}, {"dump", "-"}, {"json", "-"}, {"get", "-", "x"}, {"fmt", "-"}};
    for (const char* text : broken) {
        for (const std::vector<std::string>& words : verbs) {
            const Call result = call(words, text);
            EXPECT_EQ(result.status, 1) << words[0] << ": " << text;
            EXPECT_EQ(result.out, "") << words[0] << ": " << text;
            EXPECT_NE(result.err.find("stdin"), std::string::npos) << words[0] << ": " << text << result.err;
            if (words[0] != "check")
                continue;
            const std::size_t errors = count(result.err, "error: ");
            const std::string summary = std::to_string(errors) + (errors == 1 ? " error, " : " errors, ");
            EXPECT_GE(errors, 1u) << text;
            EXPECT_NE(result.err.find(summary), std::string::npos) << text << result.err;
        }
    }
}

} // namespace
