#pragma once

// Between byte offsets in a UTF-8 text and the protocol's positions: a line, and a character
// counted in UTF-16 code units (the protocol's default) or in bytes (when the client takes
// "utf-8"). Lines end at LF, as the parser counts them.

#include <cstddef>
#include <string>
#include <vector>

#include "tavric/model/SourceRange.hpp"

namespace tavriclsp {

enum class Encoding { Utf16, Utf8 };

struct Position {
    std::size_t line = 0;
    std::size_t character = 0;
};

struct Span {
    Position start;
    Position end;
};

class TextPositions {
public:
    TextPositions(const std::string& text, Encoding encoding);
    Position at(std::size_t offset) const;
    // The offset of a position; one past a line's end or past the last line is clamped to the end.
    std::size_t offset(std::size_t line, std::size_t character) const;
    // The protocol's stretch of a place in this text, from its byte offsets: the one way the library's
    // places (byte columns) become the client's positions.
    Span span(const zul::SourceRange& range) const { return {at(range.start.offset), at(range.end.offset)}; }
    std::size_t lineCount() const { return starts.size(); }

private:
    std::size_t lineEnd(std::size_t line) const;

    const std::string& text;
    Encoding encoding;
    std::vector<std::size_t> starts;
    std::size_t byteOrderMark = 0;
};

} // namespace tavriclsp
