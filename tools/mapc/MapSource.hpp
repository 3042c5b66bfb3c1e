#pragma once

#include "game/MapFormat.hpp"

#include <array>
#include <string>
#include <vector>

// A map as an author writes it: character grids, each with a legend saying what its
// characters put into which layers, turned into the six integer layers of the game.
//
//   map NAME
//   grid plan: ground walls objects events     (the layers this grid fills)
//   legend
//     '#' ground=wall walls=wall               (one entry per character)
//     '.' ground=0/0/0/1                       (a choice: one is picked per cell, stably)
//   rows
//   ######
//   #....#
//   end
//   start 12 30                                (optional: the cell where the player starts)
//
// Outside the grids, blank lines and lines starting with '#' are comments; in a legend too.
// Values per layer (the tool adds each layer's code offset, 180 per layer; game/MapFormat.hpp):
//   ground, objects, ceiling: a tile number of the layer's sheet, "wall" (ground only: the
//     wall tile that joins the neighbouring walls and doors) or choices "a/b/c";
//   walls: free, wall, door (closed), open, window (stops walkers, not the light);
//   events: an event number 1..180;
//   monster: hunter, hunterH, hunterV, hunterSquare.
// Every layer must be filled by exactly one grid; all grids have the same size. The start cell
// (column, row, counted from 0) must lie on the map on a cell that does not block; a map without
// one starts where the game starts every map that names none (vrk::DefaultStartColumn, Row).
namespace mapc {

using vrk::LayerCodeStride;
using vrk::LayerCount;
constexpr int WallTileBase = 10; // first of the 16 wall tiles in the ground sheet
// The layer whose entry in a table of names (vrk::LayerNames, vrk::LayerSheets) is name, or -1.
int layerNamed(const char* const (&names)[LayerCount], const std::string& name);

// Document codes of the wall layer.
constexpr int wallCode(int value)
{
    return static_cast<int>(vrk::documentCode(vrk::WallLayer, value));
}
constexpr int FreeCode = 0, WindowCode = wallCode(vrk::WindowCell), WallCode = wallCode(vrk::WallCell),
              DoorCode = wallCode(vrk::ClosedDoor), OpenDoorCode = wallCode(vrk::OpenDoor);

struct Map {
    std::string name;
    int width = 0, height = 0;
    bool hasStart = false;
    int startColumn = vrk::DefaultStartColumn, startRow = vrk::DefaultStartRow;
    std::array<std::vector<int>, LayerCount> codes; // document codes, row-major
    int code(int layer, int x, int y) const { return codes[size_t(layer)][size_t(y) * width + x]; }
};

// Reads and checks a source. On failure returns false and sets error to
// "FILE:LINE:COLUMN: message".
bool readMap(const std::string& path, Map& map, std::string& error);
bool parseMap(const std::string& path, const std::string& text, Map& map, std::string& error);

// Why the map's own start cell cannot be used (off the map, on a wall or a closed door), or ""
// when it can or the map gives none.
std::string startProblem(const Map& map);

} // namespace mapc
