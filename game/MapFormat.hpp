#pragma once
// The map document: what the game reads under "Maps", what the map tool writes there and what the
// content checks hold it to. Free of SFML and of the rest of the game, so that the tools and the
// tests can share it.

#include <string>

namespace vrk {

// Keys of the configuration document. "Maps" holds one field per map, played in name order.
inline constexpr const char* MapsKey = "Maps";
inline constexpr const char* WidthKey = "Width";
inline constexpr const char* HeightKey = "Height";
inline constexpr const char* LayersKey = "Layers";
// Optional: the cell where the player starts, as "Start" / "Column" and "Row".
inline constexpr const char* StartKey = "Start";
inline constexpr const char* StartColumnKey = "Column";
inline constexpr const char* StartRowKey = "Row";

constexpr int TileSize = 120;
constexpr int TileSheetColumns = 10;
constexpr int LayerCount = 6;
// Each layer owns this many tile codes in a map document: layer i uses 180i+1 .. 180i+180.
constexpr int LayerCodeStride = 180;

enum LayerIndex { GroundLayer = 0, ObjectLayer = 1, CeilingLayer = 2, WallLayer = 3, EventLayer = 4, MonsterLayer = 5 };
// The loader takes layers in name order: L0..L5 keep the numbered order.
inline std::string layerKey(int layer)
{
    return "L" + std::to_string(layer);
}
// Layer names as authors see them (map sources, Tiled layers), and the sheet each layer's tile
// numbers index, by file stem (the run directory holds res/STEM.png).
inline constexpr const char* LayerNames[LayerCount] = {"ground", "objects", "ceiling", "walls", "events", "monster"};
inline constexpr const char* LayerSheets[LayerCount] = {"chipset0",    "chipset0_obj",  "chipset0_ceiling",
                                                        "wall_or_not", "chipset_event", "monster_chipset"};

// The document code of a layer's value, and back; 0 stays 0 (an empty cell).
constexpr long long documentCode(int layer, int value)
{
    return value == 0 ? 0 : static_cast<long long>(LayerCodeStride) * layer + value;
}
// A code of a lower layer, or below 0, is empty.
constexpr long long layerValue(int layer, long long code)
{
    const long long value = code - static_cast<long long>(LayerCodeStride) * layer;
    return value < 0 ? 0 : value;
}

// A window stops walkers and bullets but lets the light and the eye through.
enum WallValue { WindowCell = 1, WallCell = 2, ClosedDoor = 3, OpenDoor = 4 };
enum MonsterCode { HunterCode = 902, HunterHCode = 903, HunterVCode = 904, HunterSquareCode = 905 };
// Event numbers the game answers (4 to 11 do nothing).
enum EventNumber { DoorPanelEvent = 2, BooksEvent = 3, VictoryTextEvent = 12, RemoteDoorPanelEvent = 13 };

// The remote panel works the door panel that stands this far from it.
constexpr int RemoteColumnOffset = 2;
constexpr int RemoteRowOffset = -4;

// The language document's key of a map's own text: the plain key on the first map, the key and the
// map's index after it ("Books1" on the second), and the line that names a level as it begins.
inline std::string mapTextKey(const std::string& key, int slot)
{
    return slot > 0 ? key + std::to_string(slot) : key;
}
inline std::string levelNameKey(int slot)
{
    return "Level" + std::to_string(slot + 1);
}

// A map that names no start starts the player at the top-left corner of this cell, (6120, 4440).
constexpr int DefaultStartColumn = 51;
constexpr int DefaultStartRow = 37;

} // namespace vrk
