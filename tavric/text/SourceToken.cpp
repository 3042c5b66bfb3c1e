#include "tavric/text/SourceToken.hpp"

#include <algorithm>

#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/Words.hpp"

namespace zul {

Language wordLanguage(const std::string& text, std::size_t offset, std::size_t length)
{
    // The French synonyms of the table, gathered once.
    static const std::vector<const char*> french = [] {
        std::vector<const char*> words;
        for (const WordMeaning& meaning : wordMeanings())
            for (std::size_t i = 0; i < meaning.words.count; ++i)
                if (meaning.words.words[i].language == Language::French)
                    words.push_back(meaning.words.words[i].spelling);
        return words;
    }();
    for (const char* word : french) {
        std::size_t position = offset;
        if (ParsingTools::matchNoCase(text, position, word) && position == offset + length)
            return Language::French;
    }
    return Language::English;
}

void addGapTokens(const std::string& text, SourceTokens& tokens)
{
    const auto byOffset = [](const SourceToken& a, const SourceToken& b) { return a.offset < b.offset; };
    // Mostly recorded in order already: a sort would move every token of a large text for nothing.
    if (!std::is_sorted(tokens.begin(), tokens.end(), byOffset))
        std::stable_sort(tokens.begin(), tokens.end(), byOffset);
    SourceTokens gaps;
    std::size_t from = 0;
    const auto scan = [&](std::size_t to) {
        for (std::size_t i = from; i < to;) {
            const std::size_t comment = ParsingTools::commentLength(text, i);
            if (comment > 0) {
                const TokenRole role = text[i + 1] == '/' ? TokenRole::LineComment : TokenRole::BlockComment;
                gaps.push_back(SourceToken{i, comment, role, Language::None});
                i += comment;
                continue;
            }
            if (text[i] == ';')
                gaps.push_back(SourceToken{i, 1, TokenRole::Semicolon, Language::None});
            ++i;
        }
    };
    for (const SourceToken& token : tokens) {
        scan(std::max<std::size_t>(from, token.offset));
        from = std::max(from, token.end());
    }
    scan(text.size());
    if (gaps.empty())
        return;
    const std::size_t middle = tokens.size();
    tokens.insert(tokens.end(), gaps.begin(), gaps.end());
    std::inplace_merge(tokens.begin(), tokens.begin() + middle, tokens.end(), byOffset);
}

} // namespace zul
