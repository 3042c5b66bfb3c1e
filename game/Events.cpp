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
bool fromTouchingCells(const GameContext& game)
{
    return game.rules().useFromTouchingCells;
}

// Door panel work shared by the panel and the remote panel.
void activateDoorPanel(GameContext& game, int column, int row)
{
    PanelWork work;
    const MapRecord& map = game.map();
    if (!panelWorkAt(map, column, row, work))
        return;
    if (!panelWorksFrom(map, work, game.playerPosition(), fromTouchingCells(game))) {
        game.addText("TooFar");
        return;
    }
    const int door = work.door.x < 0 ? 0 : map.value(WallLayer, work.door.x, work.door.y);
    if (door != ClosedDoor && door != OpenDoor)
        return;
    if (Events::doorMoving(game.tasks(), work.door.x, work.door.y))
        return;
    game.tasks().schedule(door == ClosedDoor ? &Events::openDoorTask : &Events::closeDoorTask,
                          {map.width, work.door.x, work.door.y, DoorSteps});
    game.events().addSpark(work.door.x, work.door.y, DoorSparkSteps);
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
    PanelWork work;
    if (!panelWorkAt(game.map(), column, row, work))
        return;
    if (!panelWorksFrom(game.map(), work, game.playerPosition(), fromTouchingCells(game))) {
        game.addText("TooFar");
        return;
    }
    if (work.door.x >= 0)
        game.events().addSpark(work.door.x, work.door.y, AttackSparkSteps);
}

// It works the door panel's way from a spot away from it, which analysing it tells.
void remoteDoorPanelEvent(GameContext& game, int column, int row, int mode)
{
    if (mode == AnalyseCursor)
        game.addText("RemotePanel");
    else if (mode == ActivateCursor)
        activateDoorPanel(game, column, row);
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

bool panelWorkAt(const MapRecord& map, int column, int row, PanelWork& work)
{
    const int event = map.value(EventLayer, column, row);
    if (event != DoorPanelEvent && event != RemoteDoorPanelEvent)
        return false;
    work = PanelWork();
    work.panel = sf::Vector2i(column, row);
    work.remote = event == RemoteDoorPanelEvent;
    work.spot = work.remote ? sf::Vector2i(column + RemoteColumnOffset, row + RemoteRowOffset) : work.panel;
    if (Events::findDoor(map, work.spot.x, work.spot.y, work.door.x, work.door.y) == 0)
        work.door = sf::Vector2i(-1, -1);
    return true;
}

std::vector<PanelWork> remotePanels(const MapRecord& map)
{
    std::vector<PanelWork> works;
    PanelWork work;
    for (int row = 0; row < map.height; ++row)
        for (int column = 0; column < map.width; ++column)
            if (map.value(EventLayer, column, row) == RemoteDoorPanelEvent && panelWorkAt(map, column, row, work))
                works.push_back(work);
    return works;
}

bool cellsTouch(sf::Vector2i a, sf::Vector2i b)
{
    return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1;
}

bool panelWorksFrom(const MapRecord& map, const PanelWork& work, sf::Vector2f player, bool fromTouchingCells)
{
    if (withinReach(player, work.spot.x, work.spot.y))
        return true;
    if (!fromTouchingCells)
        return false;
    const sf::Vector2i cell(cellOf(player.x), cellOf(player.y));
    if (!work.remote)
        return cellsTouch(cell, work.panel);
    // Beside the door, on this side or the other, but not in the doorway itself.
    return work.door.x >= 0 && cell != work.door && cellsTouch(cell, work.door) && !map.blocked(cell.x, cell.y);
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
