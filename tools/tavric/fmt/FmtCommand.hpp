#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zul {
class Tavric;
}

namespace tavricfmt {

// The one-line usage of the verb.
extern const char* const fmtUsage;

// tavric fmt [--check] [--diff] [-w] FILE... (or - for standard input). Prints the laid-out texts,
// or with --check the names of the files that would change, with --diff a unified diff, with -w
// rewrites the files that change. Files that do not parse get the parser's messages and stay as
// they are. Status 0, 1 when a file does not parse, cannot be read or written, or (with --check)
// would change; 2 for a bad call.
int runFmt(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err);

// The tree as the writer shows it, expressions written out and folded: two texts that read to the
// same tree give the same fingerprint.
std::string treeFingerprint(const zul::Tavric& root);

} // namespace tavricfmt
