#pragma once

#include "game/LogTexts.hpp"
#include "game/MapRecord.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

namespace vrk {

// Values of the object layer: a tile of the object sheet, counted from 1.
enum ObjectTile {
    PanelTile = 1,
    RemotePanelTile = 2,
    ShelfTile = 3, // and 4
    ReadingDeskTile = 5,
    HatchTile = 6,
    LabBenchTile = 7,
    ConsoleTile = 8,
    CrateTile = 9,
    BarrelsTile = 10,
    PlantTile = 11,
    OperatingTableTile = 12,
    TankTile = 13,
    CablesTile = 14,
    ChairTile = 15,
    ScorchTile = 16,
    ServerRackTile = 17,
    PapersTile = 18,
    CabinetTile = 19,
    BedTile = 20,
};

// What analysing a cell says when its event has nothing to say: the line of its object, or of
// its door or window; null for bare floor and plain walls, and for the hatch, whose words are
// the map's own (`hatch` is then set).
const LogText* cellDescription(const MapRecord& map, int column, int row, bool& hatch);

// Whether a medical cabinet in the cell is within the player's reach (a cell and a half; with
// `fromTouchingCells`, also from any cell that touches it).
bool cabinetWithinReach(int column, int row, sf::Vector2f player, bool fromTouchingCells);
// Whether the player standing at `player` can use the thing in the cell now: a door panel or a
// medical cabinet within reach, or a remote panel from where it works (see panelWorksFrom).
bool usableFrom(const MapRecord& map, int column, int row, sf::Vector2f player, bool fromTouchingCells);

// The frame around the usable thing under the pointer, decided each step and drawn over the fog.
class ObjectHighlight {
public:
    void step(const MapRecord& map, sf::Vector2f pointer, sf::Vector2f player, bool fromTouchingCells);
    void clear() { shown = false; }
    bool active() const { return shown; }
    sf::Vector2i cell() const { return where; }
    void draw(sf::RenderTarget& target, sf::Vector2f camera) const;

private:
    bool shown = false;
    sf::Vector2i where;
};

} // namespace vrk
