#pragma once

#include "game/MapFormat.hpp"

#include <SFML/System/Vector2.hpp>

#include <list>
#include <memory>
#include <vector>

namespace vrk {

class Monster;

// Cell of a scene coordinate. Floor rather than truncation so that a point left of or above
// the map (x < 0) falls outside it instead of into column 0; the two agree on the map itself.
int cellOf(double coordinate);

// One loaded map: the data every part of the game reads. Cell lookups go through the checked
// accessors: outside the map is a wall for movement and sight, and has no event.
struct MapRecord {
    MapRecord();
    ~MapRecord();
    MapRecord(const MapRecord&) = delete;
    MapRecord& operator=(const MapRecord&) = delete;

    bool contains(int column, int row) const;
    // Value of a layer at a cell, 0 outside the map.
    int value(int layer, int column, int row) const;
    // Changes a layer's value at a cell on the map; nothing outside it.
    void setValue(int layer, int column, int row, int value);
    // A wall, a closed door, a window, or outside the map.
    bool blocked(int column, int row) const;
    bool blockedAt(sf::Vector2f position) const;
    int wallAt(sf::Vector2f position) const;
    bool isExplored(int column, int row) const;
    void markExplored(int column, int row);
    // Destroys every monster and bullet.
    void clearObjects();

    int width = 0;
    int height = 0;
    // Where the player starts: the map's own "Start" cell, or the game's default position.
    sf::Vector2f start;
    std::vector<std::unique_ptr<Monster>> monsters;
    // Always vrk::Bullet objects.
    std::list<std::unique_ptr<Monster>> bullets;
    std::vector<int> layers[LayerCount];
    std::vector<int> explored;
};

} // namespace vrk
