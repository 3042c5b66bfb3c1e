#include "tavric/text/SourceLines.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zul {

SourceLines::SourceLines(const std::string& text, std::string entry)
    : entry(std::move(entry)), starts(1, 0), size(text.size()), byteOrderMark(text.compare(0, 3, "\xEF\xBB\xBF") == 0)
{
    const char* data = text.data();
    for (std::size_t from = 0; from < text.size();) {
        const void* found = std::memchr(data + from, '\n', text.size() - from);
        if (!found)
            break;
        from = static_cast<std::size_t>(static_cast<const char*>(found) - data) + 1;
        starts.push_back(from);
    }
}

SourcePosition SourceLines::at(std::size_t offset) const
{
    offset = std::min(offset, size);
    const std::size_t line = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), offset) -
                                                      starts.begin()); // 1-based: the lines starting at or before
    SourcePosition position;
    position.line = static_cast<int>(line);
    position.column = static_cast<int>(offset - starts[line - 1]) + 1;
    position.offset = offset;
    // The mark takes no room on the line as an editor shows it.
    if (line == 1 && byteOrderMark && offset >= 3)
        position.column -= 3;
    return position;
}

SourceRange SourceLines::range(std::size_t begin, std::size_t end) const
{
    SourceRange range;
    range.entry = entry;
    range.start = at(begin);
    range.end = at(std::max(begin, end));
    return range;
}

} // namespace zul
