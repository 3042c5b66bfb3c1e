#pragma once

#include <string>

namespace tavrictool {

// Lines of context around each change, as diff -u shows them.
constexpr int diffContext = 3;

// The changes from one text to another in the unified format of diff -u (and patch), with the
// two names in its header. Empty when the texts are equal. A last line without a line end is
// marked "\ No newline at end of file".
std::string unifiedDiff(const std::string& before, const std::string& after, const std::string& beforeName,
                        const std::string& afterName);

} // namespace tavrictool
