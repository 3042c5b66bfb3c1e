#pragma once

// The layout of a text as written, for the tool's fmt and an editor's formatting.

#include <cstddef>
#include <cstdint>
#include <string>

#include "tavric/text/SourceToken.hpp"

namespace zul {

class Tavric;

struct FormatOptions {
    // Blanks per level of nesting, as the tree writer indents.
    std::size_t indentWidth = 2;
    // A line continued with a backslash is indented this much further than its first line.
    std::size_t continuationIndent = 4;
};

// Lays a source out again. Kept as written: every word, literal, comment, directive and line
// break (runs of empty lines shrink to one). Made uniform: the indentation of each line (its
// nesting depth), one blank around assignment signs and operators, single blanks elsewhere on a
// line, no trailing blanks, one line end at the end. The layout follows the tokens the parser
// recorded while it accepted the source.
std::string formatTokens(const std::string& source, const SourceTokens& tokens, const FormatOptions& options = {});

// What the parser read of a source, in order, as the layout writes it but without where it stands:
// an accepted source and its layout, read with their tokens recorded, give the same digest.
std::uint64_t readingDigest(const std::string& source, const SourceTokens& tokens);

// Parses the source (its directives' texts go nowhere) and lays it out; false when the parser
// refuses it.
bool formatSource(const std::string& source, std::string& formatted, const FormatOptions& options = {});

// The text without what a layout may change: blanks, line ends and line continuations. The layout
// of an accepted source keeps it.
std::string withoutLayout(const std::string& text);

// The tree as the writer shows it, expressions written out and folded: two texts that read to the
// same tree give the same fingerprint.
std::string treeFingerprint(const Tavric& root);

} // namespace zul
