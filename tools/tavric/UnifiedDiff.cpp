#include "tools/tavric/UnifiedDiff.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tavrictool {

namespace {

// A line with its line end, if it has one: a last line without one differs from the same text with it.
std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end + 1 - start));
        start = end + 1;
    }
    return lines;
}

enum class Op { Same, Removed, Added };

struct Edit {
    Op op;
    std::size_t line; // in the text it comes from (the old one for Same and Removed)
};

// A table of this many cells is about 16 MB. Past it the differing middle is shown as removed
// and added whole: still a correct diff, only not the shortest.
constexpr std::size_t maxTableCells = std::size_t(4) << 20;

std::vector<Edit> edits(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    // Equal lines at both ends need no table.
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    const std::size_t n = a.size() - head - tail;
    const std::size_t m = b.size() - head - tail;

    std::vector<Edit> result;
    for (std::size_t i = 0; i < head; ++i)
        result.push_back({Op::Same, i});
    if (n > 0 && m > 0 && (n + 1) * (m + 1) <= maxTableCells) {
        // Longest common subsequence of the middles, by suffixes; on a tie removals come first.
        std::vector<uint32_t> table((n + 1) * (m + 1), 0);
        auto cell = [&](std::size_t i, std::size_t j) -> uint32_t& { return table[i * (m + 1) + j]; };
        for (std::size_t i = n; i-- > 0;)
            for (std::size_t j = m; j-- > 0;)
                cell(i, j) =
                    a[head + i] == b[head + j] ? cell(i + 1, j + 1) + 1 : std::max(cell(i + 1, j), cell(i, j + 1));
        std::size_t i = 0;
        std::size_t j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a[head + i] == b[head + j]) {
                result.push_back({Op::Same, head + i});
                ++i;
                ++j;
            } else if (j >= m || (i < n && cell(i + 1, j) >= cell(i, j + 1))) {
                result.push_back({Op::Removed, head + i++});
            } else {
                result.push_back({Op::Added, head + j++});
            }
        }
    } else {
        for (std::size_t i = 0; i < n; ++i)
            result.push_back({Op::Removed, head + i});
        for (std::size_t j = 0; j < m; ++j)
            result.push_back({Op::Added, head + j});
    }
    for (std::size_t i = 0; i < tail; ++i)
        result.push_back({Op::Same, a.size() - tail + i});
    return result;
}

std::string range(std::size_t first, std::size_t count)
{
    // diff -u: an empty range names the line before it; a range of one line has no count.
    std::string text = std::to_string(count == 0 ? first : first + 1);
    if (count != 1)
        text += "," + std::to_string(count);
    return text;
}

void addLine(std::string& out, char mark, const std::string& line)
{
    out += mark;
    out += line;
    if (line.empty() || line.back() != '\n')
        out += "\n\\ No newline at end of file\n";
}

} // namespace

std::string unifiedDiff(const std::string& before, const std::string& after, const std::string& beforeName,
                        const std::string& afterName)
{
    if (before == after)
        return std::string();
    const std::vector<std::string> a = splitLines(before);
    const std::vector<std::string> b = splitLines(after);
    const std::vector<Edit> script = edits(a, b);

    // Line numbers in both texts before each edit.
    std::vector<std::size_t> oldAt(script.size() + 1, 0);
    std::vector<std::size_t> newAt(script.size() + 1, 0);
    for (std::size_t k = 0; k < script.size(); ++k) {
        oldAt[k + 1] = oldAt[k] + (script[k].op != Op::Added ? 1 : 0);
        newAt[k + 1] = newAt[k] + (script[k].op != Op::Removed ? 1 : 0);
    }

    std::string out = "--- " + beforeName + "\n+++ " + afterName + "\n";
    const std::size_t context = diffContext;
    std::size_t k = 0;
    while (k < script.size()) {
        if (script[k].op == Op::Same) {
            ++k;
            continue;
        }
        // A hunk: this change and every next one with at most twice the context between them.
        const std::size_t first = k > context ? k - context : 0;
        std::size_t lastChange = k;
        for (std::size_t e = k + 1; e < script.size() && e - lastChange <= 2 * context + 1; ++e)
            if (script[e].op != Op::Same)
                lastChange = e;
        const std::size_t end = std::min(script.size(), lastChange + 1 + context);
        out += "@@ -" + range(oldAt[first], oldAt[end] - oldAt[first]) + " +" +
               range(newAt[first], newAt[end] - newAt[first]) + " @@\n";
        for (std::size_t e = first; e < end; ++e) {
            const Edit& edit = script[e];
            if (edit.op == Op::Same)
                addLine(out, ' ', a[edit.line]);
            else if (edit.op == Op::Removed)
                addLine(out, '-', a[edit.line]);
            else
                addLine(out, '+', b[edit.line]);
        }
        k = end;
    }
    return out;
}

} // namespace tavrictool
