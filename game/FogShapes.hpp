#pragma once
// The shapes of the fog of war, shared by the light and by the benchmark's earlier drawing: the
// darkness is written into the scene's alpha channel as triangles, then one pass darkens the
// scene by it.

#include "game/MapRecord.hpp"
#include "game/World.hpp"

#include <SFML/Graphics/BlendMode.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <algorithm>
#include <vector>

namespace vrk {
namespace fog {

const sf::Color Dark(0, 0, 0, 255);
const sf::Color HalfDark(0, 0, 0, 128);
const sf::Color Clear(0, 0, 0, 0);

// Alpha only: the colours of the scene stay as they are.
const sf::BlendMode WriteAlpha(sf::BlendMode::Zero, sf::BlendMode::One, sf::BlendMode::Add, sf::BlendMode::One,
                               sf::BlendMode::Zero, sf::BlendMode::Add);
// colour * (1 - alpha), alpha back to opaque: what a black layer of that alpha drawn over the
// scene gives, in one pass over the scene and without a texture of its own.
const sf::BlendMode Darken(sf::BlendMode::Zero, sf::BlendMode::OneMinusDstAlpha, sf::BlendMode::Add, sf::BlendMode::One,
                           sf::BlendMode::Zero, sf::BlendMode::Add);

inline void addTriangle(sf::VertexArray& vertices, sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, sf::Color colour)
{
    vertices.append(sf::Vertex(a, colour));
    vertices.append(sf::Vertex(b, colour));
    vertices.append(sf::Vertex(c, colour));
}

// The rectangle (left, top) - (right, bottom) of the transform's local space, as two triangles.
inline void addRectangle(sf::VertexArray& vertices, const sf::Transform& transform, float left, float top, float right,
                         float bottom, sf::Color colour)
{
    const sf::Vector2f a = transform.transformPoint(left, top);
    const sf::Vector2f b = transform.transformPoint(right, top);
    const sf::Vector2f c = transform.transformPoint(right, bottom);
    const sf::Vector2f d = transform.transformPoint(left, bottom);
    addTriangle(vertices, a, b, c, colour);
    addTriangle(vertices, a, c, d, colour);
}

inline sf::Transform cellTransform(int column, int row, sf::Vector2f camera)
{
    sf::Transform at;
    at.translate(static_cast<float>(column * TileSize) - camera.x, static_cast<float>(row * TileSize) - camera.y);
    return at;
}

// Starts the darkness: the whole scene dark (its first 6 vertices, for the darkening pass), then
// half dark over the remembered walls of the range. Returns the first vertex to write into the
// alpha channel: 0 when the dark layer must be laid whole (a scene of unknown alpha), after it
// otherwise.
inline std::size_t beginDarkness(sf::VertexArray& vertices, sf::Vector2f sceneSize, const MapRecord& record,
                                 const CellRange& range, sf::Vector2f camera, bool fill)
{
    vertices.setPrimitiveType(sf::Triangles);
    vertices.clear();
    addRectangle(vertices, sf::Transform::Identity, 0.f, 0.f, sceneSize.x, sceneSize.y, Dark);
    const std::size_t firstShape = fill ? 0 : vertices.getVertexCount();
    for (int y = range.y0; y <= range.y1; ++y)
        for (int x = range.x0; x <= range.x1; ++x)
            if (record.isExplored(x, y))
                addRectangle(vertices, cellTransform(x, y, camera), 0.f, 0.f, TileSize, TileSize, HalfDark);
    return firstShape;
}

// Clears every wall cell the rays reached, whole. Many rays end in the same cell: the list is
// sorted and each cell kept once, since clearing it once clears the same pixels.
inline void clearReachedWalls(sf::VertexArray& vertices, std::vector<sf::Vector2i>& hits, sf::Vector2f camera)
{
    std::sort(hits.begin(), hits.end(),
              [](const sf::Vector2i& a, const sf::Vector2i& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
    for (const sf::Vector2i& cell : hits)
        addRectangle(vertices, cellTransform(cell.x, cell.y, camera), 0.f, 0.f, TileSize, TileSize, Clear);
}

// The darkening pass over the scene, from the whole-scene rectangle beginDarkness laid first.
inline void darkenScene(sf::RenderTarget& scene, const sf::VertexArray& vertices)
{
    scene.draw(&vertices[0], 6, sf::Triangles, sf::RenderStates(Darken));
}

} // namespace fog
} // namespace vrk
