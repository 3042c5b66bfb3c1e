#pragma once

#include "game/MapRecord.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>

#include <string>
#include <vector>

namespace vrk {

// What the map remembers of a cell, as the light last showed it.
enum class MapMark : unsigned char { Unseen, Floor, Wall, Window, ClosedDoor, OpenDoor, Panel, Hatch };

// The words the map shows, in the language in use.
struct MapWords {
    std::string title;
    std::string hint;
    std::vector<std::string> legend; // closed door, open door, panel, hatch, you
};

// The map of what the player has seen, level by level: walls, windows, doors as they last
// looked, panels and the hatch. Each step records what the light reaches; M shows it over the
// paused game. It lasts the whole run, deaths and new games included, as the fog's memory does.
class ExploredMap {
public:
    // Records the cells the cone of light reaches this step: rays as the light casts them, at
    // a coarser angle (the map needs cells, not pixels).
    void record(int slot, const MapRecord& map, sf::Vector2f player, double facing, double reach, double halfCone);
    MapMark mark(int slot, int column, int row) const;
    // Cells seen at least once on the map of the slot.
    int seenCells(int slot) const;

    bool shown() const { return visible; }
    void setShown(bool show) { visible = show; }

    // The whole scene: the map of the slot fitted into it under its title, the player's place,
    // the legend and how to close it.
    void draw(sf::RenderTarget& target, const sf::Font& font, int slot, sf::Vector2f player,
              const MapWords& words) const;
    // Scene pixels per cell and the map's top-left corner when drawn on a target of that size.
    static float cellSize(int width, int height, sf::Vector2u target);
    static sf::Vector2f origin(int width, int height, sf::Vector2u target);

private:
    struct Memory {
        int width = 0;
        int height = 0;
        std::vector<MapMark> cells;
    };
    // The memory of the slot, started afresh when the map's size changed.
    Memory& memoryFor(int slot, const MapRecord& map);
    void see(Memory& memory, const MapRecord& map, int column, int row);

    // By slot, grown as levels are played.
    std::vector<Memory> memories;
    bool visible = false;
};

} // namespace vrk
