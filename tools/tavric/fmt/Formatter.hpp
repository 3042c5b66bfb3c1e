#pragma once

#include <cstddef>
#include <string>

namespace tavricfmt {

// Blanks per level of nesting, as the tree writer indents.
constexpr std::size_t indentWidth = 2;
// A line continued with a backslash is indented this much further than its first line.
constexpr std::size_t continuationIndent = 4;

// Lays a source out again. Kept as written: every word, literal, comment, directive and line
// break (runs of empty lines shrink to one). Made uniform: the indentation of each line (its
// nesting depth), one blank around assignment signs and operators, single blanks elsewhere on a
// line, no trailing blanks, one line end at the end. False, with the byte at which it stopped,
// when the source is not a text the parser accepts.
bool formatSource(const std::string& source, std::string& formatted, std::size_t& stoppedAt);

// The text without what a layout may change: blanks, line ends and line continuations. The layout
// of an accepted source keeps it.
std::string withoutLayout(const std::string& text);

} // namespace tavricfmt
