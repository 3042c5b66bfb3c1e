#pragma once
// Texts that name the player's keys: marks in the words of the language documents replaced by
// the keys bound now, so that the help says what the keyboard does.

#include "shell/Settings.hpp"

#include <string>

namespace vrk {

// The marks {move} (the four walking keys: "WASD", or their names one after another when one of
// them has a longer name), {run}, {pause} and {map}, each replaced by the bound keys' names.
std::string withBoundKeys(std::string text, const Settings& settings);

} // namespace vrk
