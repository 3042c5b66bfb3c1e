#include "game/Events.hpp"

#include "game/Identifiers.hpp"
#include "game/GameContext.hpp"
#include "game/Tuning.hpp"

#include <cstdlib>

namespace vrk {

namespace {

constexpr int SparkFrames = 3;

int flickerFrame()
{
    return std::rand() % SparkFrames;
}

int flickerAngle()
{
    return std::rand() % 360;
}
// Counter values (counting down from DoorSteps) at which a moving door shows its next tile;
// the last tile comes with the end of the task.
constexpr int DoorTileCounters[2] = {15, 5};
bool panelInReach(const GameContext& game, int column, int row)
{
    return withinReach(game.playerPosition(), column, row);
}

// Door panel work shared by the panel and the remote panel, around the panel cell.
void activateDoorPanel(GameContext& game, int column, int row)
{
    if (!panelInReach(game, column, row)) {
        game.addText("TooFar");
        return;
    }
    int doorColumn = 0;
    int doorRow = 0;
    const MapRecord& map = game.map();
    const int door = Events::findDoor(map, column, row, doorColumn, doorRow);
    if (door == 0)
        return;
    if (Events::doorMoving(game.tasks(), doorColumn, doorRow))
        return;
    game.tasks().schedule(door == ClosedDoor ? &Events::openDoorTask : &Events::closeDoorTask,
                          {map.width, doorColumn, doorRow, DoorSteps});
    game.events().addSpark(doorColumn, doorRow, DoorSparkSteps);
}

void victoryTextEvent(GameContext& game, int, int, int mode)
{
    if (mode == StepMode)
        game.addText("Victory");
}

void booksEvent(GameContext& game, int, int, int mode)
{
    if (mode == AnalyseCursor)
        game.addText("Books");
}

void nothingEvent(GameContext&, int, int, int) {}

void doorPanelEvent(GameContext& game, int column, int row, int mode)
{
    if (mode == AnalyseCursor) {
        game.addText("DoorPanel");
        return;
    }
    if (mode == ActivateCursor) {
        activateDoorPanel(game, column, row);
        return;
    }
    if (mode != AttackCursor)
        return;
    if (!panelInReach(game, column, row)) {
        game.addText("TooFar");
        return;
    }
    int doorColumn = 0;
    int doorRow = 0;
    if (Events::findDoor(game.map(), column, row, doorColumn, doorRow) != 0)
        game.events().addSpark(doorColumn, doorRow, AttackSparkSteps);
}

// It works the door panel's way from a spot away from it, which analysing it tells.
void remoteDoorPanelEvent(GameContext& game, int column, int row, int mode)
{
    if (mode == AnalyseCursor)
        game.addText("RemotePanel");
    else if (mode == ActivateCursor)
        activateDoorPanel(game, column + RemoteColumnOffset, row + RemoteRowOffset);
}

// Indexed by event number - 1; every map slot has the same handlers.
const EventHandler eventTable[] = {
    nullptr,               // 1
    &doorPanelEvent,       // 2
    &booksEvent,           // 3
    &nothingEvent,         // 4
    &nothingEvent,         // 5
    &nothingEvent,         // 6
    &nothingEvent,         // 7
    &nothingEvent,         // 8
    &nothingEvent,         // 9
    &nothingEvent,         // 10
    &nothingEvent,         // 11
    &victoryTextEvent,     // 12
    &remoteDoorPanelEvent, // 13
};

// Shared by the opening and closing tasks: parameters are (width, column, row, counter).
bool moveDoor(GameContext& game, std::vector<int>& parameters, int tileChange, int finalWall)
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

    if (onMap && (counter == DoorTileCounters[0] || counter == DoorTileCounters[1]))
        map.setValue(GroundLayer, column, row, map.value(GroundLayer, column, row) + tileChange);
    --counter;
    if (counter > 0)
        return false;
    if (onMap) {
        map.setValue(GroundLayer, column, row, map.value(GroundLayer, column, row) + tileChange);
        map.setValue(WallLayer, column, row, finalWall);
        if (finalWall == OpenDoor)
            game.doorOpened(column, row);
    }
    return true;
}

} // namespace

bool withinReach(sf::Vector2f position, int column, int row)
{
    const int dx = static_cast<int>(position.x) - (TileSize * column + TileSize / 2);
    const int dy = static_cast<int>(position.y) - (TileSize * row + TileSize / 2);
    // In 64 bits: a far-away panel must not overflow into "near".
    return static_cast<long long>(dx) * dx + static_cast<long long>(dy) * dy < PanelReachSquared;
}

EventHandler Events::handler(int slot, int event)
{
    constexpr int handled = static_cast<int>(sizeof eventTable / sizeof eventTable[0]);
    if (event < 1 || event > handled || slot < 0)
        return nullptr;
    return eventTable[event - 1];
}

int Events::findDoor(const MapRecord& map, int column, int row, int& doorColumn, int& doorRow)
{
    for (int y = row - 1; y <= row + 1; ++y) {
        for (int x = column - 1; x <= column + 1; ++x) {
            const int wall = map.value(WallLayer, x, y);
            if (wall == ClosedDoor || wall == OpenDoor) {
                doorColumn = x;
                doorRow = y;
                return wall;
            }
        }
    }
    return 0;
}

bool Events::openDoorTask(GameContext& game, std::vector<int>& parameters)
{
    return moveDoor(game, parameters, 1, OpenDoor);
}

bool Events::closeDoorTask(GameContext& game, std::vector<int>& parameters)
{
    return moveDoor(game, parameters, -1, ClosedDoor);
}

bool Events::doorMoving(const TaskList& tasks, int column, int row)
{
    for (const TimedTask& task : tasks.pending())
        if ((task.callback == &openDoorTask || task.callback == &closeDoorTask) && task.parameters.size() >= 4 &&
            task.parameters[1] == column && task.parameters[2] == row)
            return true;
    return false;
}

void Events::addSpark(int column, int row, int steps)
{
    sparkList.push_back(Spark{column, row, steps, flickerFrame(), flickerAngle()});
}

void Events::step()
{
    for (auto it = sparkList.begin(); it != sparkList.end();) {
        if (--it->timer < 1) {
            it = sparkList.erase(it);
            continue;
        }
        it->frame = flickerFrame();
        it->angle = flickerAngle();
        ++it;
    }
}

void Events::drawSparks(sf::RenderTarget& target, sf::Sprite& sprite, sf::Vector2f camera) const
{
    for (const Spark& spark : sparkList) {
        sprite.setPosition(static_cast<float>(spark.column * TileSize) - camera.x + TileSize / 2,
                           static_cast<float>(spark.row * TileSize) - camera.y + TileSize / 2);
        sprite.setTextureRect(sf::IntRect(spark.frame * TileSize, 0, TileSize, TileSize));
        sprite.setRotation(static_cast<float>(spark.angle));
        target.draw(sprite);
    }
}

} // namespace vrk
