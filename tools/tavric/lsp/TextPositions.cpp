#include "TextPositions.hpp"

#include <algorithm>

namespace tavriclsp {

namespace {

// UTF-16 code units of the character that starts with this byte: two for a four-byte sequence,
// none for a continuation byte (its lead byte counted the character), one otherwise. Invalid
// bytes count one each, as editors show each as a replacement character.
std::size_t units(unsigned char lead)
{
    if (lead >= 0x80 && lead < 0xC0)
        return 0;
    return lead >= 0xF0 && lead < 0xF8 ? 2 : 1;
}

} // namespace

TextPositions::TextPositions(const std::string& text, Encoding encoding) : text(text), encoding(encoding)
{
    starts.push_back(0);
    for (std::size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
        starts.push_back(i + 1);
    // Editors do not show the byte-order mark; the parser's columns do not count it either.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        byteOrderMark = 3;
}

std::size_t TextPositions::lineEnd(std::size_t line) const
{
    std::size_t end = line + 1 < starts.size() ? starts[line + 1] - 1 : text.size();
    if (end > starts[line] && text[end - 1] == '\r')
        --end;
    return end;
}

Position TextPositions::at(std::size_t offset) const
{
    offset = std::min(offset, text.size());
    const std::size_t line =
        static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
    Position position;
    position.line = line;
    std::size_t from = starts[line];
    if (line == 0)
        from = std::min(byteOrderMark, offset);
    if (encoding == Encoding::Utf8) {
        position.character = offset - from;
        return position;
    }
    for (std::size_t i = from; i < offset; ++i)
        position.character += units(static_cast<unsigned char>(text[i]));
    return position;
}

std::size_t TextPositions::offset(std::size_t line, std::size_t character) const
{
    if (line >= starts.size())
        return text.size();
    const std::size_t end = lineEnd(line);
    std::size_t at = line == 0 ? std::min(byteOrderMark, end) : starts[line];
    if (encoding == Encoding::Utf8)
        return std::min(at + character, end);
    std::size_t counted = 0;
    while (at < end) {
        const std::size_t width = units(static_cast<unsigned char>(text[at]));
        if (counted + width > character)
            break;
        counted += width;
        ++at;
        // The continuation bytes belong to the character just passed.
        while (at < end && units(static_cast<unsigned char>(text[at])) == 0)
            ++at;
    }
    return at;
}

} // namespace tavriclsp
