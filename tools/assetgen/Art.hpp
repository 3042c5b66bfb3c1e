#pragma once

#include "Canvas.hpp"
#include "Palette.hpp"

#include <string>
#include <vector>

namespace art {

// Every picture the game ships: its path under res/, its size and the code that draws it.
// Sizes follow the cell layout the game reads (120-pixel tiles in sheets 10 wide, 100-pixel
// cursor cells, 300-pixel dancer cells...).
struct ImageSpec {
    std::string path;
    int width;
    int height;
    void (*draw)(Canvas&, const Palette&);
};

const std::vector<ImageSpec>& imageSpecs();

// The cell layout of the sheets, shared by the drawing code and the map tool's legend.
constexpr int Tile = 120;
constexpr int SheetColumns = 10;

// Draws one tile into a sheet at its index, row by row.
inline void placeTile(Canvas& sheet, const Canvas& tile, int index)
{
    sheet.draw(tile, (index % SheetColumns) * Tile, (index / SheetColumns) * Tile);
}

// Paints one cell on a canvas of its own and places it on a sheet: at (x, y), or at a tile index.
template <typename Paint>
void paintCell(Canvas& sheet, int x, int y, Paint&& paint)
{
    Canvas cell(Tile, Tile);
    paint(cell);
    sheet.draw(cell, x, y);
}
template <typename Paint>
void paintTile(Canvas& sheet, int index, Paint&& paint)
{
    paintCell(sheet, (index % SheetColumns) * Tile, (index / SheetColumns) * Tile, paint);
}

// Ground sheet (chipset0.png): tile numbers.
namespace ground {
constexpr int LabFloor = 0; // 4 variants
constexpr int Grate = 4;    // 2 variants
constexpr int Wood = 6;     // 2 variants
constexpr int Carpet = 8;
constexpr int Hazard = 9;
constexpr int Wall = 10;       // 16 tiles: + mask of wall neighbours (N 1, E 2, S 4, W 8)
constexpr int DoorAcross = 30; // 4 tiles, closed first: a door in a wall running left-right
constexpr int DoorAlong = 34;  // 4 tiles, closed first: a door in a wall running up-down
constexpr int StartMat = 38;
constexpr int ExitFloor = 39;
constexpr int Tiles = 40;
} // namespace ground

// Object sheet (chipset0_obj.png), drawn over the ground.
namespace objects {
constexpr int Panel = 0;       // door panel, mounted on a wall
constexpr int RemotePanel = 1; // panel that works a door farther off
constexpr int Shelf = 2;       // 2 variants
constexpr int ReadingDesk = 4;
constexpr int ExitHatch = 5;
constexpr int LabBench = 6;
constexpr int Computer = 7;
constexpr int Crate = 8;
constexpr int Barrels = 9;
constexpr int Plant = 10;
constexpr int OperatingTable = 11;
constexpr int Tank = 12;
constexpr int Cables = 13;
constexpr int Chair = 14;
constexpr int Scorch = 15;
constexpr int ServerRack = 16;
constexpr int Papers = 17;
constexpr int Cabinet = 18;
constexpr int Bed = 19;
constexpr int Tiles = 20;
} // namespace objects

// Ceiling sheet (chipset0_ceiling.png), drawn over the characters: light and thin things only.
namespace ceiling {
constexpr int Lamp = 0;
constexpr int PipeAcross = 1;
constexpr int PipeAlong = 2;
constexpr int Vent = 3;
constexpr int BeamAcross = 4;
constexpr int BeamAlong = 5;
constexpr int HangingCables = 6;
constexpr int Window = 7;
constexpr int Tiles = 8;
} // namespace ceiling

// Drawing entry points, one per file.
void drawGround(Canvas&, const Palette&);
void drawObjects(Canvas&, const Palette&);
void drawCeiling(Canvas&, const Palette&);
void drawWallSheet(Canvas&, const Palette&);
void drawEventSheet(Canvas&, const Palette&);
void drawMonsterSheet(Canvas&, const Palette&);
void drawPlayer(Canvas&, const Palette&);
void drawHunter(Canvas&, const Palette&);
void drawSpark(Canvas&, const Palette&);
void drawShot(Canvas&, const Palette&);
void drawLifeBar(Canvas&, const Palette&);
void drawRunBar(Canvas&, const Palette&);
void drawFaceHunter(Canvas&, const Palette&);
void drawFaceMaverick(Canvas&, const Palette&);
void drawFaceDoctor(Canvas&, const Palette&);
void drawCursorMain(Canvas&, const Palette&);
void drawCursorAttack(Canvas&, const Palette&);
void drawCursorAnalyse(Canvas&, const Palette&);
void drawCursorActivate(Canvas&, const Palette&);
void drawCursorTalk(Canvas&, const Palette&);
void drawLoadingBackground(Canvas&, const Palette&);
void drawDancer(Canvas&, const Palette&);
void drawLoadingBar(Canvas&, const Palette&);
void drawBunny(Canvas&, const Palette&);
void drawRope(Canvas&, const Palette&);
void drawTitle(Canvas&, const Palette&);
void drawIcon(Canvas&, const Palette&); // any square size

} // namespace art
