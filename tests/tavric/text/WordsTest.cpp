// The table of the language's words: each spelling has one meaning, a list of values matches its
// longer words first, and a word's language is the table's whatever its letter case.

#include <gtest/gtest.h>
#include <map>
#include <string>

#include "tavric/text/Documents.hpp"
#include "tavric/text/Words.hpp"

using namespace zul;

namespace {

TEST(Words, EachSpellingHasOneMeaningAndListsTryLongerWordsFirst)
{
    std::map<std::string, const WordMeaning*> seen;
    for (const WordMeaning& meaning : wordMeanings())
        for (std::size_t i = 0; i < meaning.words.count; ++i) {
            const std::string word = meaning.words.words[i].spelling;
            EXPECT_TRUE(seen.emplace(word, &meaning).second) << word << " has two meanings";
            EXPECT_EQ(meaningOf(word, 0, word.size()), &meaning) << word;
            // Values match without looking at what follows: "No" must come after "Non".
            for (std::size_t later = i + 1; meaning.wordClass == WordClass::Value && later < meaning.words.count;
                 ++later)
                EXPECT_NE(std::string(meaning.words.words[later].spelling).rfind(word, 0), 0u)
                    << meaning.words.words[later].spelling << " comes after its prefix " << word;
        }
    EXPECT_EQ(meaningOf("Booleans", 0, 8), nullptr);
}

TEST(Words, LanguageOfTheWordsAsWritten)
{
    const struct {
        const char* text;
        Language language;
    } cases[] = {
        {"VRAI", Language::French},         {"non", Language::French},      {"No", Language::English},
        {"priv\xC3\xA9", Language::French}, {"Include", Language::English}, {"inclurec", Language::French},
        {"chaine", Language::French},       {"string", Language::English},  {"Message", Language::English},
    };
    for (const auto& c : cases) {
        const std::string text = std::string("x ") + c.text + " y";
        EXPECT_EQ(wordLanguage(text, 2, text.size() - 4), c.language) << c.text;
    }
}

} // namespace
