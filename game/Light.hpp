#pragma once

#include "game/World.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <vector>

namespace vrk {

// The player's light and the fog of war: the cone of rays toward the pointer, the walls it
// reaches (remembered in the map's explored grid) and the darkness painted over the scene.
class Light {
public:
    Light();

    // The darkness layer of the literal drawing, scene-sized; false when it cannot be made.
    bool create(sf::Vector2u sceneSize);
    // Reach and cone back to their start values.
    void restart();
    // The scene's alpha is no longer known to be opaque (a new start, a test's own drawing).
    void forgetScene() { sceneAlphaKnown = false; }

    // Casts the cone of rays from a player at `position` facing `facing`: fills the ray lists
    // and the reached walls, and finds the cells of `range` that light or memory reaches.
    void cast(const MapRecord& map, const CellRange& range, sf::Vector2f position, double facing);
    // Marks the walls that the last cast reached explored.
    void rememberWalls(MapRecord& map) const;
    // Paints the fog of the rays cast last over the scene.
    void paint(sf::RenderTexture& scene, const MapRecord& map, sf::Vector2f camera, sf::Vector2f position);
    // Whether a cell of the range cast last can show anything through the fog.
    bool lit(int column, int row) const;

    // Around the player, this far, the fog is only half dark whatever the cone's direction; 0: none.
    void setAwareness(float radius) { awareness = radius; }
    float awarenessRadius() const { return awareness; }
    double viewDistance() const { return reach; }
    double halfFieldOfView() const { return halfCone; }
    // Narrows or widens the cone (radians); restart puts it back.
    void setHalfFieldOfView(double radians) { halfCone = radians; }
    const std::vector<double>& rayAngles() const { return angles; }
    const std::vector<float>& rayLengths() const { return lengths; }
    // Wall cells the rays reached (after paint: sorted, each once).
    const std::vector<sf::Vector2i>& rayHits() const { return hits; }
    const CellRange& litRange() const { return range; }
    sf::RenderTexture& referenceTexture() { return fogTexture; }

private:
    double reach;
    double halfCone;
    float awareness = 0.f;
    std::vector<double> angles; // radians, one per ray of the cone
    std::vector<float> lengths; // per ray, the length of its transparent line
    std::vector<sf::Vector2i> hits;
    CellRange range{0, 0, -1, -1};
    std::vector<char> litCells;    // over range, row by row
    std::vector<sf::Vector2f> rim; // two far corners per ray's line, in scene coordinates
    // Per sector of the fan: the rays' angles it spans and how far its core triangle lights
    // every direction between them (0: no core).
    struct Core {
        double from = 0.0;
        double to = 0.0;
        double margin = 0.0;
        float radius = 0.f;
    };
    std::vector<Core> cores;
    sf::VertexArray vertices;
    bool sceneAlphaKnown = false;
    // The darkness as a layer of its own, for the literal drawing; the game keeps its fog in
    // the scene's alpha channel (one pass less).
    sf::RenderTexture fogTexture;
};

} // namespace vrk
