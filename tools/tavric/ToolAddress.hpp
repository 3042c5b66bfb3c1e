#pragma once

// Addresses as the tool's users write them: the library's addresses, with collection members picked
// by their index ("list[0]", "maps[2].name").

#include <cstddef>
#include <string>

#include "ToolReport.hpp"
#include "tavric/model/Tavric.hpp"

namespace tavrictool {

// The field an address names, looked up as the public user without creating anything; nullField
// when there is none, with a line already in the report for an index out of range.
const zul::Tavric& findField(const zul::Tavric& root, const std::string& address, Report& report,
                             const std::string& name);

// After a lookup that found nothing: "no field named 'x' in [].w" when the root's diagnostics from
// first on name the missing field. False when they do not.
bool reportMissing(const zul::Tavric& root, std::size_t first, Report& report, const std::string& name);

} // namespace tavrictool
