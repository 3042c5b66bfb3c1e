#pragma once

#include "MapSource.hpp"

#include <ostream>
#include <string>
#include <vector>

namespace mapc {

// Writes the configuration document: the language texts (copied as they are, inside
// "Language") and the maps under "Maps", each with Width, Height, the start cell when the map
// gives one (Start: Column, Row) and six collections L0..L5 of document codes, one map row per line.
void writeConfig(std::ostream& out, const std::vector<std::string>& texts, const std::vector<Map>& maps);

// Draws a map at a quarter of its size with the game's sheets found in sheetDir, the event
// and monster symbols over it and a ring round the start cell.
bool drawPicture(const Map& map, const std::string& sheetDir, const std::string& out, std::string& error);
// Draws the part of the map that play first shows, width x height pixels (at a quarter of the
// map's size) centred on the start cell as far as the map allows: ground, objects, ceiling and
// hunters, without the authors' marks (the title's background).
bool drawView(const Map& map, const std::string& sheetDir, unsigned width, unsigned height, const std::string& out,
              std::string& error);

} // namespace mapc
