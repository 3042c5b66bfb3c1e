// Map events: the handler table, texts, door panels and the tasks that move doors.
#include "game/Ingame.hpp"

#include "game/Text.hpp"
#include "shell/Program.hpp"

namespace vrk {

namespace {

// Interaction modes: the cursor the player clicked with, or stepping into the cell.
enum EventMode { StepMode = 0, AttackMode = 1, AnalyseMode = 2, ActivateMode = 3, TalkMode = 4 };

constexpr int PanelReachSquared = TileSize * TileSize;
constexpr int AttackSparkFrames = 200;
constexpr int DoorSparkFrames = 20;
constexpr int DoorSteps = 20;
// Counter values (counting down from DoorSteps) at which a moving door shows its next tile;
// the last tile comes with the end of the task.
constexpr int DoorTileCounters[2] = {15, 5};
// The remote panel works the door panel that stands 2 columns right and 4 rows up.
constexpr int RemoteColumnOffset = 2;
constexpr int RemoteRowOffset = -4;

// Shared by the opening and closing tasks: parameters are (width, column, row, counter).
bool moveDoor(Ingame& game, std::vector<int>& parameters, int tileChange, int finalWall)
{
    if (parameters.size() < 4)
        return true;
    const int width = parameters[0];
    const int column = parameters[1];
    const int row = parameters[2];
    int& counter = parameters[3];
    MapRecord& map = game.map();
    // The map may have been reloaded (a restart) while the door was moving: a cell that is no
    // longer on it is left alone.
    const bool onMap = width == map.width && map.contains(column, row);
    const std::size_t cell = onMap ? static_cast<std::size_t>(row) * width + column : 0;

    if (onMap && (counter == DoorTileCounters[0] || counter == DoorTileCounters[1]))
        map.layers[GroundLayer][cell] += tileChange;
    --counter;
    if (counter > 0)
        return false;
    if (onMap) {
        map.layers[GroundLayer][cell] += tileChange;
        map.layers[WallLayer][cell] = finalWall;
    }
    return true;
}

} // namespace

// Indexed by map slot * 180 + event number - 1; map slot 1 has no events.
const EventHandler Ingame::eventTable[MaxMaps * EventsPerMap] = {
    nullptr,                       // 1
    &Ingame::doorPanelEvent,       // 2
    &Ingame::booksEvent,           // 3
    &Ingame::nothingEvent,         // 4
    &Ingame::nothingEvent,         // 5
    &Ingame::nothingEvent,         // 6
    &Ingame::nothingEvent,         // 7
    &Ingame::nothingEvent,         // 8
    &Ingame::nothingEvent,         // 9
    &Ingame::nothingEvent,         // 10
    &Ingame::nothingEvent,         // 11
    &Ingame::victoryTextEvent,     // 12
    &Ingame::remoteDoorPanelEvent, // 13
};

std::string Ingame::languageText(const std::string& key) const
{
    // Looking a missing key up would create it in the document; an absent text is simply empty.
    zul::Tavric& language = program->languageDocument;
    if (key.empty() || !language.exists(key))
        return std::string();
    return language.child(key, zul::publicUser).getString(zul::publicUser);
}

void Ingame::addText(const char* key)
{
    addMessage(languageText(key));
}

void Ingame::victoryTextEvent(Ingame& game, int, int, int mode)
{
    if (mode == StepMode)
        game.addText("Victory");
}

void Ingame::booksEvent(Ingame& game, int, int, int mode)
{
    if (mode == AnalyseMode)
        game.addText("Books");
}

void Ingame::nothingEvent(Ingame&, int, int, int) {}

bool Ingame::panelInReach(int column, int row) const
{
    const int dx = static_cast<int>(playerPosition.x) - (TileSize * column + TileSize / 2);
    const int dy = static_cast<int>(playerPosition.y) - (TileSize * row + TileSize / 2);
    // In 64 bits: a far-away panel must not overflow into "near".
    return static_cast<long long>(dx) * dx + static_cast<long long>(dy) * dy < PanelReachSquared;
}

void Ingame::doorPanelEvent(Ingame& game, int column, int row, int mode)
{
    if (mode == AnalyseMode) {
        game.addText("DoorPanel");
        return;
    }
    if (mode == ActivateMode) {
        game.activateDoorPanel(column, row);
        return;
    }
    if (mode != AttackMode)
        return;
    if (!game.panelInReach(column, row)) {
        game.addText("TooFar");
        return;
    }
    int doorColumn = 0;
    int doorRow = 0;
    if (game.findDoor(column, row, doorColumn, doorRow) != 0)
        game.sparks.push_back(Spark{doorColumn, doorRow, AttackSparkFrames});
}

void Ingame::remoteDoorPanelEvent(Ingame& game, int column, int row, int mode)
{
    if (mode == ActivateMode)
        game.activateDoorPanel(column + RemoteColumnOffset, row + RemoteRowOffset);
}

void Ingame::activateDoorPanel(int column, int row)
{
    if (!panelInReach(column, row)) {
        addText("TooFar");
        return;
    }
    int doorColumn = 0;
    int doorRow = 0;
    const int door = findDoor(column, row, doorColumn, doorRow);
    if (door == 0)
        return;
    // The spark of the last activation still showing means the door is already moving.
    for (const Spark& spark : sparks)
        if (spark.column == doorColumn && spark.row == doorRow)
            return;
    schedule(door == ClosedDoor ? &Ingame::openDoorTask : &Ingame::closeDoorTask,
             {map().width, doorColumn, doorRow, DoorSteps});
    sparks.push_back(Spark{doorColumn, doorRow, DoorSparkFrames});
}

int Ingame::findDoor(int column, int row, int& doorColumn, int& doorRow) const
{
    const MapRecord& record = map();
    for (int y = row - 1; y <= row + 1; ++y) {
        for (int x = column - 1; x <= column + 1; ++x) {
            const int wall = record.value(WallLayer, x, y);
            if (wall == ClosedDoor || wall == OpenDoor) {
                doorColumn = x;
                doorRow = y;
                return wall;
            }
        }
    }
    return 0;
}

bool Ingame::openDoorTask(Ingame& game, std::vector<int>& parameters)
{
    return moveDoor(game, parameters, 1, OpenDoor);
}

bool Ingame::closeDoorTask(Ingame& game, std::vector<int>& parameters)
{
    return moveDoor(game, parameters, -1, ClosedDoor);
}

} // namespace vrk
