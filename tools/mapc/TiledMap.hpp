#pragma once

#include "MapSource.hpp"

#include <string>
#include <vector>

// Maps saved by the Tiled editor, read into the same layers of document codes as the
// character grids, and the shipped maps written back out for Tiled.
//
// A map Tiled can give the game is orthogonal, of fixed size, with 120 x 120 tiles and six tile
// layers named ground, objects, ceiling, walls, events and monster. Each layer takes tiles of one
// of the game's sheets (chipset0, chipset0_obj, chipset0_ceiling, wall_or_not, chipset_event,
// monster_chipset, in layer order); tile t of the sheet of layer i is document code 180i + t + 1.
// A tileset is known by its file name (NAME.tsx) or, when embedded, by its image (NAME.png): its
// path only matters to Tiled, which needs the pictures. The map's name is its string property
// "name", or the file's stem.
namespace mapc {

// True for the file names read as Tiled maps: .tmx (XML) and .tmj or .json (JSON).
bool isTiledSource(const std::string& path);

// Reads a Tiled map from its text; path names it in messages and gives the map's default name.
// On failure returns false and sets error to one line "FILE: message" (with LINE:COLUMN for a
// syntax error). Object and image layers are skipped, each with a line in warnings.
bool parseTiled(const std::string& path, const std::string& text, Map& map, std::string& error,
                std::vector<std::string>& warnings);

// A sheet the export points at, with its size in pixels.
struct Sheet {
    std::string path; // as the .tsx writes it: relative to the export's folder
    int width = 0, height = 0;
};

// The text of the .tmx Tiled opens for a map: CSV layer data, tileset i at first id 180i + 1
// (so an id is the document code), the ceiling and events layers as translucent as the map
// picture draws them.
std::string tmxText(const Map& map);
// The file name (NAME.tsx) and text of the tileset of one layer.
std::string tilesetFileName(int layer);
std::string tilesetText(int layer, const Sheet& sheet);
// The file name of the sheet of a layer (chipset0.png...).
std::string sheetFileName(int layer);

} // namespace mapc
