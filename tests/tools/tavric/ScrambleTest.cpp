// scramble and unscramble hand the game, or the author, only a document that loads.

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "InProcessCall.hpp"

namespace {

// The transform is its own inverse: unscramble --raw of a text gives its scrambled bytes.
std::string scrambled(const std::string& text)
{
    return tooltest::callOn("unscramble", {"--raw"}, text).out;
}

TEST(Scramble, OnlyDocumentsThatLoad)
{
    const struct {
        const char* verb;
        std::vector<std::string> options;
        std::string input;
        int status;
        std::string out;
        const char* lastLine; // of the error stream ("" for none)
    } cases[] = {
        {"scramble", {}, "a = 1\n", 0, scrambled("a = 1\n"), ""},
        {"scramble", {}, "", 0, "", ""},
        {"scramble",
         {},
         "a = \n",
         1,
         "",
         "<stdin>: error: does not load as a document: it is not scrambled, as the game could not read it"},
        {"scramble",
         {},
         "a = 1 / 0\n",
         1,
         "",
         "<stdin>: error: does not load as a document: it is not scrambled, as the game could not read it"},
        {"unscramble", {}, scrambled("a = 1\n"), 0, "a = 1\n", ""},
        {"unscramble", {}, scrambled("[n\n  b = \"x\"\n]\n"), 0, "[n\n  b = \"x\"\n]\n", ""},
        {"unscramble",
         {},
         scrambled("a = \n"),
         1,
         "",
         "<stdin>: error: does not unscramble to a document that loads: it is damaged, or not scrambled user data "
         "(--raw writes the bytes anyway)"},
        {"unscramble", {"--raw"}, scrambled("a = \n"), 0, "a = \n", ""},
        {"unscramble",
         {},
         scrambled(std::string("a\0b", 3)),
         1,
         "",
         "<stdin>: error: does not unscramble to a text: it is not scrambled user data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.verb) + " of " + c.input);
        const tooltest::Call result = tooltest::callOn(c.verb, c.options, c.input);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_EQ(result.out, c.out);
        std::string last = result.err;
        if (!last.empty() && last.back() == '\n')
            last.pop_back();
        last = last.substr(last.rfind('\n') + 1);
        EXPECT_EQ(last, c.lastLine) << result.err;
    }
}

TEST(Scramble, RandomBytesAreRefused)
{
    std::mt19937 random(40);
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::string bytes(100, ' ');
        for (char& byte : bytes)
            byte = static_cast<char>(random() % 255 + 1); // no NUL: a file of the tool's own kind
        const tooltest::Call result = tooltest::callOn("unscramble", {}, bytes);
        EXPECT_EQ(result.status, 1) << attempt;
        EXPECT_EQ(result.out, "") << attempt;
        EXPECT_EQ(tooltest::callOn("unscramble", {"--raw"}, bytes).out.size(), bytes.size()) << attempt;
    }
}

} // namespace
