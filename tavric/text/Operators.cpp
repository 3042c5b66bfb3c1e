#include "tavric/text/Operators.hpp"

namespace zul {

// Synonyms that end in a blank include it, so that a word operator never swallows the start of a
// longer word. French words are UTF-8.
const OperatorLevel operatorTable[OperatorLevelCount] = {
    {{{","}}, evaluation::sequence},
    {{{"=", ":=", "<-"},
      {"||="},
      {"^^="},
      {"&&="},
      {"|="},
      {"^="},
      {"&="},
      {"<<="},
      {">>="},
      {"+="},
      {"-="},
      {"*="},
      {"/="},
      {"%="},
      {".*="},
      {"##=", ".="}},
     evaluation::assignment},
    {{{"||", ".OR.", "or ", "ou "}, {"^^", ".XOR.", "xor ", "oux "}}, evaluation::logicalOr},
    {{{"&&", ".AND.", "and ", "et "}}, evaluation::logicalAnd},
    {{{"==", ".EQ.", "equal to ", "\xC3\xA9gal \xC3\xA0 "},
      {"!=", "<>", ".NE.", "is unlike ", "diff\xC3\xA9rent de "},
      {"~=="},
      {"~!=", "~<>"},
      {"<=", ".LE."},
      {">=", ".GE."},
      {"<", ".LT.", "lesser than ", "inf\xC3\xA9rieur \xC3\xA0 "},
      {">", ".GT.", "greater than ", "sup\xC3\xA9rieur \xC3\xA0 "}},
     evaluation::comparison},
    {{{"|"}, {"^"}}, evaluation::bitwiseOr},
    {{{"&"}}, evaluation::bitwiseAnd},
    {{{"<<>"}, {">><"}, {"<<"}, {">>"}}, evaluation::shift},
    {{{"+"}, {"-"}}, evaluation::additive},
    {{{"*", "x "}, {"/", ":"}, {"%"}}, evaluation::multiplicative},
    {{{".*", "pow "}}, evaluation::power},
    {{{"##"}}, evaluation::concatenation},
    {{{""}}, evaluation::operand},
};

namespace {

bool ended(const char* word)
{
    return word == nullptr || word[0] == '\0';
}

// Only "a" to "z" fold: the bytes of accented letters compare as they are.
unsigned char fold(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

// Length of word when it lies at pos (case folded), else 0.
std::size_t matchedLength(const std::string& text, std::size_t pos, const char* word)
{
    std::size_t i = 0;
    for (; word[i] != '\0'; ++i) {
        if (pos + i >= text.size())
            return 0;
        if (fold(static_cast<unsigned char>(text[pos + i])) != fold(static_cast<unsigned char>(word[i])))
            return 0;
    }
    return i;
}

} // namespace

bool matchOperator(const std::string& text, std::size_t pos, OperatorMatch& match)
{
    OperatorMatch best;
    if (pos >= text.size())
        return false;
    for (int level = 0; level < OperandLevel; ++level) {
        const OperatorLevel& entry = operatorTable[level];
        for (int index = 0; index < MaxOperatorsPerLevel && !ended(entry.operators[index][0]); ++index) {
            for (int s = 0; s < MaxSynonymsPerOperator && !ended(entry.operators[index][s]); ++s) {
                std::size_t length = matchedLength(text, pos, entry.operators[index][s]);
                if (length > best.length) {
                    best.level = level;
                    best.index = index;
                    best.length = length;
                }
            }
        }
    }
    if (best.length == 0)
        return false;
    match = best;
    return true;
}

const char* operatorSpelling(int level, int index)
{
    if (level < 0 || level >= OperandLevel || index < 0 || index >= MaxOperatorsPerLevel)
        return "";
    const char* word = operatorTable[level].operators[index][0];
    return word == nullptr ? "" : word;
}

} // namespace zul
