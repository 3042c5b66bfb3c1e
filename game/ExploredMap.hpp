#pragma once

#include "game/MapRecord.hpp"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>

#include <string>
#include <vector>

namespace vrk {

// What the map remembers of a cell, as the light last showed it.
enum class MapMark : unsigned char { Unseen, Floor, Wall, Window, ClosedDoor, OpenDoor, Panel, Hatch, Cabinet };

// What the map remembers of one level: its cells, and where each hunter still standing was
// last seen (by the index of the map's monsters; none when unseen or fallen).
struct MapMemory {
    int width = 0;
    int height = 0;
    std::vector<MapMark> cells;
    std::vector<bool> hunterSeen;
    std::vector<sf::Vector2f> hunterPlace;
};

// The words the map shows, in the language in use.
struct MapWords {
    std::string title;
    std::string hint;
    std::vector<std::string> legend; // closed door, open door, panel, hatch, cabinet, hunter, you
};

// The map of what the player has seen, level by level: walls, windows, doors as they last
// looked, panels and the hatch. Each step records what the light reaches; M shows it over the
// paused game. It lasts the whole run, deaths and new games included, as the fog's memory does.
class ExploredMap {
public:
    // Records the cells the cone of light reaches this step: rays as the light casts them, at
    // a coarser angle (the map needs cells, not pixels).
    // The hunters it reaches are remembered where they stand; a fallen one is forgotten.
    void record(int slot, const MapRecord& map, sf::Vector2f player, double facing, double reach, double halfCone);
    MapMark mark(int slot, int column, int row) const;
    // Where the standing hunter of that index was last seen; false when it was not.
    bool hunterLastSeen(int slot, std::size_t hunter, sf::Vector2f& place) const;
    // What the slot's map remembers now, and the same given back (a checkpoint's).
    MapMemory memory(int slot) const;
    void restore(int slot, const MapMemory& memory);
    // Cells seen at least once on the map of the slot.
    int seenCells(int slot) const;

    bool shown() const { return visible; }
    void setShown(bool show) { visible = show; }

    // The whole scene: the map of the slot fitted into it under its title, the player's place,
    // the cabinets (greyed when in `usedCabinets`, cell indices), the hunters' last places, the
    // legend and how to close it.
    void draw(sf::RenderTarget& target, const sf::Font& font, int slot, sf::Vector2f player,
              const std::vector<int>& usedCabinets, const MapWords& words) const;
    // Scene pixels per cell and the map's top-left corner when drawn on a target of that size.
    static float cellSize(int width, int height, sf::Vector2u target);
    static sf::Vector2f origin(int width, int height, sf::Vector2u target);

private:
    // The memory of the slot, started afresh when the map's size changed.
    MapMemory& memoryFor(int slot, const MapRecord& map);
    void see(MapMemory& memory, const MapRecord& map, int column, int row);
    void castRays(MapMemory& memory, const MapRecord& map, sf::Vector2f player, double first, double halfCone, int rays,
                  double reach);

    // By slot, grown as levels are played.
    std::vector<MapMemory> memories;
    // The step each cell was last reached by the light, to find the hunters seen this step.
    std::vector<unsigned> litStep;
    unsigned recordStep = 0;
    bool visible = false;
};

} // namespace vrk
