#pragma once

#include <nlohmann/json.hpp>

#include "tavric/model/Tavric.hpp"

namespace tavrictool {

// A document as JSON: a field with children is an object (its own value, if any, under "="), one
// without is its value. Keys stand in document order. Fields the public user may not read (private,
// locked, limited) are left out unless every field is asked for. References, pointers and computed
// fields show the value the game reads (a pointer to nothing: null); raw, their address or
// expression as written.
nlohmann::ordered_json toJson(const zul::Tavric& field, bool everyField, bool raw = false);

} // namespace tavrictool
