#include "tavric/text/SourceToken.hpp"

#include <algorithm>

#include "tavric/text/ParsingTools.hpp"

namespace zul {

namespace {

const char* const frenchWords[] = {
    "Nullepart",
    "Rien",
    "Vide",
    "Inclure",
    "Inclurec",
    "Attention",
    "Erreur",
    "priv\xC3\xA9",
    "prot\xC3\xA9g\xC3\xA9",
    "verrouill\xC3\xA9",
    "publique",
    "limit\xC3\xA9",
    "restreint",
    "Vrai",
    "Oui",
    "Non",
    "Faux",
    "Champ",
    "bool\xC3\xA9"
    "en",
    "entier",
    "r\xC3\xA9"
    "el",
    "charact\xC3\xA8re",
    "caract\xC3\xA8re",
    "chaine",
    "cha\xC3\xAEne",
    "enregistrement",
};

} // namespace

Language wordLanguage(const std::string& text, std::size_t offset, std::size_t length)
{
    for (const char* word : frenchWords) {
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
