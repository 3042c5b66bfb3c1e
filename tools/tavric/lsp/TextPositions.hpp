#pragma once

// Between byte offsets in a UTF-8 text and the protocol's positions: a line, and a character
// counted in UTF-16 code units (the protocol's default) or in bytes (when the client takes
// "utf-8"). Lines end at LF, as the parser counts them.

#include <cstddef>
#include <string>
#include <vector>

namespace tavriclsp {

enum class Encoding { Utf16, Utf8 };

struct Position {
    std::size_t line = 0;
    std::size_t character = 0;
};

class TextPositions {
public:
    TextPositions(const std::string& text, Encoding encoding);
    Position at(std::size_t offset) const;
    // The offset of a position; one past a line's end or past the last line is clamped to the end.
    std::size_t offset(std::size_t line, std::size_t character) const;
    // The offset of the parser's line (1-based) and byte column (1-based).
    std::size_t offsetOfPlace(int line, int column) const;
    std::size_t lineCount() const { return starts.size(); }

private:
    std::size_t lineEnd(std::size_t line) const;

    const std::string& text;
    Encoding encoding;
    std::vector<std::size_t> starts;
    std::size_t byteOrderMark = 0;
};

} // namespace tavriclsp
