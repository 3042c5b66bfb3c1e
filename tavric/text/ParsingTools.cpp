#include "tavric/text/ParsingTools.hpp"

#include <cstring>

namespace zul {

const NumberForm ParsingTools::numberForms[4] = {hexadecimalForm, decimalForm, octalForm, binaryForm};

int ParsingTools::fold(char c)
{
    // Bytes are taken as signed and compared as 16-bit values once folded.
    int value = static_cast<signed char>(c);
    if (value >= 'a' && value <= 'z')
        value -= 32;
    return static_cast<int16_t>(value);
}

namespace {

bool inSet(char c, const char* set)
{
    for (const char* p = set; *p; ++p)
        if (*p == c)
            return true;
    return false;
}

bool inSetFolded(char c, const char* set)
{
    const int folded = ParsingTools::fold(c);
    for (const char* p = set; *p; ++p)
        if (ParsingTools::fold(*p) == folded)
            return true;
    return false;
}

// Index of the first word that matches, or -1.
template <typename Match>
int firstMatch(const char* const* words, std::size_t count, Match match)
{
    for (std::size_t i = 0; i < count; ++i)
        if (match(words[i]))
            return static_cast<int>(i);
    return -1;
}

} // namespace

bool ParsingTools::startsWithNoCase(const std::string& text, std::size_t position, const char* word)
{
    if (position > text.size())
        return false;
    // Compared as far as the word goes, without measuring it first: the keyword tables are tried at
    // every value and name.
    for (std::size_t i = 0; word[i] != '\0'; ++i)
        if (position + i >= text.size() || fold(text[position + i]) != fold(word[i]))
            return false;
    return true;
}

bool ParsingTools::matchNoCase(const std::string& text, std::size_t& position, const char* word)
{
    if (!startsWithNoCase(text, position, word))
        return false;
    position += std::strlen(word);
    return true;
}

int ParsingTools::matchAnyNoCase(const std::string& text, std::size_t& position, const char* const* words,
                                 std::size_t count)
{
    return firstMatch(words, count, [&](const char* word) { return matchNoCase(text, position, word); });
}

int ParsingTools::matchKeyword(const std::string& text, std::size_t& position, const char* const* words,
                               std::size_t count, const char* followingSet)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (!startsWithNoCase(text, position, words[i]))
            continue;
        const std::size_t end = position + std::strlen(words[i]);
        // A prefix of a longer word: a later synonym may still be the whole word.
        if (end < text.size() && inSetFolded(text[end], followingSet))
            continue;
        position = end;
        return static_cast<int>(i);
    }
    return -1;
}

int ParsingTools::matchAnyNoCase(const std::string& text, std::size_t& position, const Word* words, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (matchNoCase(text, position, words[i].spelling))
            return static_cast<int>(i);
    return -1;
}

int ParsingTools::matchKeyword(const std::string& text, std::size_t& position, const Word* words, std::size_t count,
                               const char* followingSet)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (!startsWithNoCase(text, position, words[i].spelling))
            continue;
        const std::size_t end = position + std::strlen(words[i].spelling);
        // A prefix of a longer word: a later synonym may still be the whole word.
        if (end < text.size() && inSetFolded(text[end], followingSet))
            continue;
        position = end;
        return static_cast<int>(i);
    }
    return -1;
}

bool ParsingTools::matchExact(const std::string& text, std::size_t& position, const char* literal)
{
    if (position > text.size())
        return false;
    const std::size_t length = std::strlen(literal);
    if (length > text.size() - position || text.compare(position, length, literal) != 0)
        return false;
    position += length;
    return true;
}

int ParsingTools::matchAnyExact(const std::string& text, std::size_t& position, const char* const* literals,
                                std::size_t count)
{
    return firstMatch(literals, count, [&](const char* literal) { return matchExact(text, position, literal); });
}

bool ParsingTools::skipSet(const std::string& text, std::size_t& position, const char* set)
{
    const std::size_t start = position;
    while (position < text.size() && inSet(text[position], set))
        ++position;
    return position != start;
}

bool ParsingTools::skipSetNoCase(const std::string& text, std::size_t& position, const char* set)
{
    const std::size_t start = position;
    while (position < text.size() && inSetFolded(text[position], set))
        ++position;
    return position != start;
}

bool ParsingTools::inSetNoCase(const std::string& text, std::size_t position, const char* set)
{
    return position < text.size() && inSetFolded(text[position], set);
}

std::size_t ParsingTools::commentLength(const std::string& text, std::size_t position)
{
    if (position + 1 >= text.size() || text[position] != '/')
        return 0;
    if (text[position + 1] == '/') {
        const std::size_t end = text.find('\n', position);
        return (end == std::string::npos ? text.size() : end) - position;
    }
    if (text[position + 1] != '*')
        return 0;
    const std::size_t close = text.find("*/", position + 2);
    return close == std::string::npos ? 0 : close + 2 - position;
}

bool ParsingTools::unclosedCommentAt(const std::string& text, std::size_t position)
{
    return text.compare(position, 2, "/*") == 0 && text.find("*/", position + 2) == std::string::npos;
}

bool ParsingTools::skipSeparators(const std::string& text, std::size_t& position)
{
    const std::size_t start = position;
    for (;;) {
        skipSet(text, position, separatorSet);
        const std::size_t comment = commentLength(text, position);
        if (comment == 0)
            break;
        position += comment;
    }
    return position != start;
}

bool ParsingTools::skipBlanks(const std::string& text, std::size_t& position)
{
    const std::size_t start = position;
    for (;;) {
        const bool blanks = skipSet(text, position, blankSet);
        const bool continuation = matchAnyExact(text, position, lineContinuations) >= 0;
        const std::size_t comment = commentLength(text, position);
        position += comment;
        if (!blanks && !continuation && comment == 0)
            break;
    }
    return position != start;
}

void ParsingTools::lineAndColumn(const std::string& text, std::size_t position, int& line, int& column)
{
    line = 0;
    column = 0;
    const std::size_t end = position < text.size() ? position : text.size();
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 0;
        } else {
            ++column;
        }
    }
    ++line;
    ++column;
}

std::size_t ParsingTools::wordEnd(const std::string& text, std::size_t position)
{
    const auto wordByte = [&text](std::size_t i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        return c >= 0x80 || c == '_' || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    };
    std::size_t end = position;
    while (end < text.size() && wordByte(end))
        ++end;
    if (end == position && end < text.size() && text[end] != '\n' && text[end] != '\r') {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    }
    return end;
}

} // namespace zul
