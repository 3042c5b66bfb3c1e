#pragma once

// Lines and columns of one text, counted as the parser counts them (SourceRange.hpp), for the
// places a caller holds as byte offsets: its tokens, a finding of its own.

#include <cstddef>
#include <string>
#include <vector>

#include "tavric/model/SourceRange.hpp"
#include "tavric/text/SourceToken.hpp"

namespace zul {

class SourceLines {
public:
    // One pass over the text; the text itself is not kept.
    explicit SourceLines(const std::string& text, std::string entry = "stdin");

    // An offset past the end counts as the end.
    SourcePosition at(std::size_t offset) const;
    SourceRange range(std::size_t begin, std::size_t end) const;
    SourceRange range(const SourceToken& token) const { return range(token.offset, token.end()); }

private:
    std::string entry;
    std::vector<std::size_t> starts; // the offset of each line's first byte
    std::size_t size = 0;
    bool byteOrderMark = false;
};

} // namespace zul
