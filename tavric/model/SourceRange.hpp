#pragma once

#include <cstddef>
#include <string>

namespace zul {

// A point of a text. Lines and columns count from 1, and a column counts bytes from the start of its
// line (a character outside ASCII takes two to four columns), as the library's messages give them;
// an editor that counts otherwise converts from the offset. A byte-order mark that opens the text
// takes no column. Line 0: no point in a text.
struct SourcePosition {
    int line = 0;
    int column = 0;
    std::size_t offset = 0; // bytes from the start of the text
};

// A stretch of a text, from its first byte to just past its last one: a field's declaration, a
// token, what a diagnostic is about. An empty stretch (end = start) stands between two bytes.
struct SourceRange {
    std::string entry; // the text: a file path, or "stdin"
    SourcePosition start;
    SourcePosition end;

    bool known() const { return start.line > 0; }
};

} // namespace zul
