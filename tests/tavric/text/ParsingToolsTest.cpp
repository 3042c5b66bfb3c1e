#include "tavric/text/ParsingTools.hpp"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <utility>

using zul::ParsingTools;
namespace lexicon = zul::lexicon;

namespace {

// ---------------------------------------------------------------- keyword matching

TEST(KeywordMatching, WholeWordsCaseFoldedLaterSynonymsTried)
{
    const struct {
        const char* text;
        zul::WordList words;
        int index;         // the synonym matched, or -1
        std::size_t after; // the position after the match (0 when none)
    } cases[] = {
        {"Public x", lexicon::listOf(lexicon::publicWords), 0, 6},
        {"publicx", lexicon::listOf(lexicon::publicWords), -1, 0},
        {"public7", lexicon::listOf(lexicon::publicWords), -1, 0},
        {"public_", lexicon::listOf(lexicon::publicWords), -1, 0},
        {"int x", lexicon::listOf(lexicon::intTypeWords), 1, 3},
        {"integer x", lexicon::listOf(lexicon::intTypeWords), 0, 7},
        {"intx", lexicon::listOf(lexicon::intTypeWords), -1, 0},
        // A synonym that only matched as a prefix lets the later ones be tried.
        {"publique x", lexicon::listOf(lexicon::publicWords), 1, 8},
        {"charactère c", lexicon::listOf(lexicon::charTypeWords), 2, 11},
        {"Character c", lexicon::listOf(lexicon::charTypeWords), 0, 9},
        // Only "a" to "z" are folded: the two bytes of "é" and "É" differ.
        {"PRIVÉ x", lexicon::listOf(lexicon::privateWords), -1, 0},
        {"PRIVé x", lexicon::listOf(lexicon::privateWords), 1, 6},
        {"True", lexicon::listOf(lexicon::trueWords), 0, 4},
    };
    for (const auto& c : cases) {
        const std::string text = c.text;
        std::size_t position = 0;
        EXPECT_EQ(c.index, ParsingTools::matchKeyword(text, position, c.words, ParsingTools::identifierSet)) << c.text;
        EXPECT_EQ(c.after, position) << c.text;
    }
}

TEST(KeywordMatching, TypeWordsAreIndexedByFieldType)
{
    const char* samples[] = {"variable", "bool", "entier", "réel", "char", "chaine", "index", "type", "struct"};
    ASSERT_EQ(std::size(samples), std::size(lexicon::typeWords));
    for (std::size_t type = 0; type < std::size(lexicon::typeWords); ++type) {
        std::string text = std::string(samples[type]) + " name";
        std::size_t position = 0;
        EXPECT_GE(ParsingTools::matchKeyword(text, position, lexicon::typeWords[type], ParsingTools::identifierSet), 0)
            << samples[type];
        EXPECT_EQ(std::string(samples[type]).size(), position);
    }
}

// ---------------------------------------------------------------- plain matching

TEST(Matching, StartsWithNoCaseBounds)
{
    const std::string text = "abc";
    EXPECT_TRUE(ParsingTools::startsWithNoCase(text, 0, "ABC"));
    EXPECT_TRUE(ParsingTools::startsWithNoCase(text, 3, ""));
    EXPECT_FALSE(ParsingTools::startsWithNoCase(text, 4, ""));
    EXPECT_FALSE(ParsingTools::startsWithNoCase(text, 1, "bcd"));
}

TEST(Matching, MatchAnyNoCaseTakesTheFirstInArrayOrder)
{
    std::string text = "<= 3";
    std::size_t position = 0;
    EXPECT_EQ(2, ParsingTools::matchAnyNoCase(text, position, ParsingTools::assignmentWords));
    EXPECT_EQ(2u, position);
    text = "yesterday";
    position = 0;
    EXPECT_EQ(1, ParsingTools::matchAnyNoCase(text, position, lexicon::trueWords));
    EXPECT_EQ(3u, position);
}

TEST(Matching, ExactMatchingKeepsCase)
{
    std::string text = "NULL null";
    std::size_t position = 0;
    EXPECT_TRUE(ParsingTools::matchExact(text, position, ParsingTools::nullPointerWord));
    EXPECT_EQ(4u, position);
    position = 5;
    EXPECT_FALSE(ParsingTools::matchExact(text, position, ParsingTools::nullPointerWord));
    EXPECT_EQ(5u, position);
    const char* const arrows[] = {".", "->"};
    text = "->x";
    position = 0;
    EXPECT_EQ(1, ParsingTools::matchAnyExact(text, position, arrows));
    EXPECT_EQ(2u, position);
}

TEST(Matching, HexDigitsMixedCase)
{
    std::string text = "fF09g";
    std::size_t position = 0;
    EXPECT_TRUE(ParsingTools::skipSetNoCase(text, position, ParsingTools::hexadecimalForm.digits));
    EXPECT_EQ(4u, position);
    EXPECT_FALSE(ParsingTools::skipSet(text, position, ParsingTools::hexadecimalForm.digits));
    EXPECT_FALSE(ParsingTools::inSetNoCase(text, position, ParsingTools::hexadecimalForm.digits));
    EXPECT_TRUE(ParsingTools::inSetNoCase(text, 1, ParsingTools::hexadecimalForm.digits));
    EXPECT_FALSE(ParsingTools::inSetNoCase(text, 99, ParsingTools::hexadecimalForm.digits));
}

TEST(Matching, SkipBlanksJoinsContinuedLines)
{
    std::string text = " \\\n\t\\\r\n x";
    std::size_t position = 0;
    EXPECT_TRUE(ParsingTools::skipBlanks(text, position));
    EXPECT_EQ(text.size() - 1, position);
    EXPECT_FALSE(ParsingTools::skipBlanks(text, position));

    text = " \n x";
    position = 0;
    ParsingTools::skipBlanks(text, position);
    EXPECT_EQ(1u, position);
    EXPECT_TRUE(ParsingTools::skipSeparators(text, position));
    EXPECT_EQ(3u, position);
}

TEST(Tables, NumberFormsAndColours)
{
    EXPECT_STREQ("0x", ParsingTools::numberForms[0].prefix);
    EXPECT_STREQ("", ParsingTools::numberForms[1].prefix);
    EXPECT_STREQ("0", ParsingTools::numberForms[2].prefix);
    EXPECT_STREQ("01", ParsingTools::numberForms[3].digits);
    EXPECT_STREQ("\x1b[1;36m", ParsingTools::colours[0]);
    EXPECT_STREQ("\x1b[0;30;47m", ParsingTools::colours[8]);
    EXPECT_STREQ("\x1b[00m", ParsingTools::colours[ParsingTools::ColourReset]);
}

// ---------------------------------------------------------------- whole-text helpers

TEST(Comments, AreSkippedWhereBlanksMayStand)
{
    // text, start, where skipSeparators stops, where skipBlanks stops
    struct Case {
        const char* text;
        std::size_t from;
        std::size_t separatorsEnd;
        std::size_t blanksEnd;
    };
    const Case cases[] = {
        {"a = 1 // note\nb = 2", 5, 14, 13}, // a line comment ends before its line end
        {"a/* x\ny */b", 1, 10, 10},         // a block comment spans lines, for blanks too
        {" /*a*/ /*b*/;x", 0, 13, 12},
        {"/* never closed\nb", 0, 0, 0}, // left for the parser to report
        {"x/", 1, 1, 1},
        {"x / 2", 1, 2, 2},       // a lone slash is an operator
        {"\\\n// c\nb", 0, 0, 6}, // a continuation is no separator
    };
    for (const Case& c : cases) {
        std::size_t position = c.from;
        ParsingTools::skipSeparators(c.text, position);
        EXPECT_EQ(c.separatorsEnd, position) << c.text;
        position = c.from;
        ParsingTools::skipBlanks(c.text, position);
        EXPECT_EQ(c.blanksEnd, position) << c.text;
    }
    EXPECT_TRUE(ParsingTools::unclosedCommentAt("a /* b", 2));
    EXPECT_FALSE(ParsingTools::unclosedCommentAt("a /* b */", 2));
}

TEST(LineAndColumn, CountsNewlinesOnly)
{
    const std::string text = "ab\n\tc\r\nd";
    const auto at = [&text](std::size_t position) {
        std::pair<int, int> lineAndColumn(0, 0);
        ParsingTools::lineAndColumn(text, position, lineAndColumn.first, lineAndColumn.second);
        return lineAndColumn;
    };
    EXPECT_EQ(std::make_pair(1, 1), at(0));
    EXPECT_EQ(std::make_pair(2, 1), at(3));
    EXPECT_EQ(std::make_pair(3, 1), at(7));
    EXPECT_EQ(std::make_pair(2, 4), at(6));
}

} // namespace
