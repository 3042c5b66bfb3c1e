#pragma once

#include "game/MapRecord.hpp"
#include "game/TaskList.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include <list>
#include <vector>

namespace vrk {

class GameContext;

constexpr int EventsPerMap = LayerCodeStride;

// Whether a player at `position` (truncated to whole units) stands within reach of the cell's
// centre, as a panel asks.
bool withinReach(sf::Vector2f position, int column, int row);

// What a panel works: the cell whose reach counts (the panel itself, or the spot a remote panel
// is worked from) and the door it opens (x < 0 when it finds none).
struct PanelWork {
    sf::Vector2i panel;
    sf::Vector2i spot;
    sf::Vector2i door{-1, -1};
    bool remote = false;
};
// The work of the panel in the cell; false when the cell holds no panel.
bool panelWorkAt(const MapRecord& map, int column, int row, PanelWork& work);
// Every remote panel of the map, row by row.
std::vector<PanelWork> remotePanels(const MapRecord& map);
// Whether two cells are the same or neighbours, diagonals included.
bool cellsTouch(sf::Vector2i a, sf::Vector2i b);
// Whether the player at `player` works the panel now: within reach of its spot, or, when
// `fromTouchingCells` (the easier rules), standing in a cell that touches a door panel, or on a
// floor cell that touches the door of a remote panel.
bool panelWorksFrom(const MapRecord& map, const PanelWork& work, sf::Vector2f player, bool fromTouchingCells);

// Column and row are the cell for clicks; for a step into the cell (StepMode) the scene position
// of its centre.
using EventHandler = void (*)(GameContext& game, int column, int row, int mode);

struct Spark {
    int column;
    int row;
    int timer; // steps left
    // The flicker of this step: the sheet's frame and the angle in degrees.
    int frame = 0;
    int angle = 0;
};

// Map events: the handler table, the texts, the door panels and their sparks, and the tasks
// that move doors.
class Events {
public:
    // The handler for event number `event` of a map slot, or none.
    static EventHandler handler(int slot, int event);
    // The first door (3 or 4) in the 3 x 3 block around the cell, row by row; 0 when none.
    static int findDoor(const MapRecord& map, int column, int row, int& doorColumn, int& doorRow);
    // Timed tasks (parameters: map width, door column, door row, counter).
    static bool openDoorTask(GameContext& game, std::vector<int>& parameters);
    static bool closeDoorTask(GameContext& game, std::vector<int>& parameters);

    // Whether a door task is still moving the door at the cell: its panel waits until it stops.
    static bool doorMoving(const TaskList& tasks, int column, int row);

    void addSpark(int column, int row, int steps);
    const std::list<Spark>& sparks() const { return sparkList; }
    void clearSparks() { sparkList.clear(); }
    // Ages every spark by one step, drops the spent ones and gives the rest a new random frame
    // and angle.
    void step();
    void drawSparks(sf::RenderTarget& target, sf::Sprite& sprite, sf::Vector2f camera) const;

private:
    std::list<Spark> sparkList;
};

} // namespace vrk
