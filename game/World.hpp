#pragma once

#include "game/MapRecord.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <functional>
#include <iosfwd>
#include <memory>
#include <vector>

namespace zul {
class Tavric;
}

namespace vrk {

class GameContext;

// Visible cells, inclusive, clipped to the map; empty when x1 < x0 or y1 < y0.
struct CellRange {
    int x0, y0, x1, y1;
};

// The map slots, the camera over the played one, and the monsters and bullets they own.
class World {
public:
    World();
    ~World();

    // The played map (slot 0 after restart).
    MapRecord& map() { return *maps[current]; }
    const MapRecord& map() const { return *maps[current]; }
    MapRecord& slot(int index) { return *maps[static_cast<std::size_t>(index)]; }
    int currentSlot() const { return current; }

    // Plays the map of the slot, or slot 0 when that slot holds no map.
    void restart(int slotIndex = 0) { current = slotIndex >= 0 && slotIndex < loaded ? slotIndex : 0; }
    // How many slots hold a map.
    int mapCount() const { return loaded; }
    // Reads every map under "Maps" into a slot of its own, in name order, calling progress before
    // each map; false (with the message written to errors) on a malformed map. Without any map
    // slot 0 stays an empty map.
    bool load(zul::Tavric& mapsField, GameContext& game, const std::function<void()>& progress, std::ostream& errors);
    // Destroys the monsters and bullets of every slot.
    void clearObjects();
    // Destroys those of the maps not played: nothing of another level lives on beside this one.
    void clearOtherSlots();

    // Scene position of the top-left corner of the view.
    sf::Vector2f camera() const { return view; }
    void setCamera(sf::Vector2f position) { view = position; }
    // Centres the view on a scene position, kept on the map.
    void follow(sf::Vector2f target, sf::Vector2u sceneSize);
    CellRange visibleCells(sf::Vector2u sceneSize) const;

    void hurtMonstersOnClosedDoors(int amount);
    // Steps of the living monsters, then of the bullets (a finished bullet is destroyed).
    void stepMonsters();
    void addBullet(std::unique_ptr<Monster> bullet);
    // A strike: every living monster closer than the radius to where it lands, and every one
    // touching the player (within `touching` of his centre), whichever way he aims.
    void damageMonstersNear(sf::Vector2f point, float radiusSquared, int amount, sf::Vector2f player, float touching);
    // True also for a map without monsters.
    bool allMonstersDead() const;
    // The monsters of the played map, and those of them still alive.
    int monsterCount() const { return static_cast<int>(map().monsters.size()); }
    int monstersLeft() const;
    void drawMonsters(sf::RenderTarget& target) const;
    void drawBullets(sf::RenderTarget& target) const;
    // The living monsters whose centres lie within radius of a scene position.
    void drawMonstersNear(sf::RenderTarget& target, sf::Vector2f point, float radius) const;

private:
    bool loadMap(zul::Tavric& field, MapRecord& record, GameContext& game, const std::function<void()>& progress,
                 std::ostream& errors);
    // The map's "Start" cell when it is on the map's free floor, else the default, with a line.
    static void readStart(zul::Tavric& field, MapRecord& record, std::ostream& errors);
    void clampCamera(sf::Vector2u sceneSize);

    // Never empty. Held by pointer: monsters and the game's parts keep references to a record.
    std::vector<std::unique_ptr<MapRecord>> maps;
    int current = 0;
    int loaded = 0;
    sf::Vector2f view;
    // Reused by every frame's bullets.
    mutable sf::VertexArray batched;
};

} // namespace vrk
