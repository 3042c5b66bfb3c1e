#pragma once

// Readings that the language allows but an author rarely means. They change nothing in the
// document: the tool's check and an editor show them as warnings, each with a short name that
// silences it.

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "tavric/text/SourceToken.hpp"

namespace zul {

struct LintFinding {
    std::size_t offset = 0; // where in the text the warning points
    const char* name = "";  // the kind, as shown in [name]
    std::string text;
    std::string hint; // a fix, when one is obvious
};

struct LintOptions {
    std::set<std::string> allowed; // kinds of finding not to report, by name
};

// Every kind of warning that can be silenced, by name: the findings below, and "missing-target" (a
// reference to a field that does not exist, which loading looks for).
const std::vector<std::string>& lintNames();

// The findings of a text the parser accepted, given the tokens it recorded, in text order. The
// tokens' empty marks are dropped on the way.
std::vector<LintFinding> lintText(const std::string& text, SourceTokens& tokens, const LintOptions& options = {});

} // namespace zul
