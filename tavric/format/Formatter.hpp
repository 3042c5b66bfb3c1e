#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tavric/text/SourceToken.hpp"

namespace tavricfmt {

// Blanks per level of nesting, as the tree writer indents.
constexpr std::size_t indentWidth = 2;
// A line continued with a backslash is indented this much further than its first line.
constexpr std::size_t continuationIndent = 4;

// Lays a source out again. Kept as written: every word, literal, comment, directive and line
// break (runs of empty lines shrink to one). Made uniform: the indentation of each line (its
// nesting depth), one blank around assignment signs and operators, single blanks elsewhere on a
// line, no trailing blanks, one line end at the end. The layout follows the tokens the parser
// recorded while it accepted the source.
std::string formatTokens(const std::string& source, const zul::SourceTokens& tokens);

// What the parser read of a source, in order, as the layout writes it but without where it stands:
// an accepted source and its layout, read with their tokens recorded, give the same digest.
std::uint64_t readingDigest(const std::string& source, const zul::SourceTokens& tokens);

// Parses the source (its directives' texts go nowhere) and lays it out; false when the parser
// refuses it.
bool formatSource(const std::string& source, std::string& formatted);

// The text without what a layout may change: blanks, line ends and line continuations. The layout
// of an accepted source keeps it.
std::string withoutLayout(const std::string& text);

} // namespace tavricfmt
