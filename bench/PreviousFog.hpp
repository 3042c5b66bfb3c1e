#pragma once
// The game's previous batched fog: each ray one thin line of its final length, with a fan only
// near the player where neighbouring lines touch. Kept for the benchmark, which measures it
// beside the literal drawing and the game's filled fan.

#include "game/Light.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Transformable.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vrk {
namespace bench {

// Rays closer to their neighbours than this (in pixels at a given radius) leave no gap between
// their lines, so up to there the cone can be filled with a fan instead of thin quads.
constexpr double FanCoverage = 0.94;
constexpr double MaxFanRadius = 450.0;
// A line reaches this many neighbours' worth of angle toward the previous ray at its inner end.
constexpr std::size_t FanNeighbours = 10;
// Rays per fan triangle at most: at the fan's reach its edge stays within 0.2 of the arc.
constexpr std::size_t MaxFanRun = 24;

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

// Written without blending, clear shapes clear the fog whatever lies below them, so the order
// and the overlaps of the light's shapes do not matter. Instead of one rectangle per sample
// (tens of thousands of draws) each ray is one line of its final length, all in one batch; near
// the player, where neighbouring lines touch, a fan of triangles replaces their inner parts (the
// fan lies inside the lines it replaces, so the same pixels are cleared). The fog is kept in the
// scene's alpha channel rather than in a texture of its own, which saves a pass over the scene.
inline void paintPreviousFog(const Light& light, sf::RenderTexture& scene, const MapRecord& record, sf::Vector2f camera,
                             sf::Vector2f position, bool fill)
{
    const sf::Color dark(0, 0, 0, 255);
    const sf::Color halfDark(0, 0, 0, 128);
    const sf::Color clear(0, 0, 0, 0);
    const sf::Vector2f sceneSize(scene.getSize());

    // The darkness goes into the scene's alpha channel first: all dark, half dark over
    // remembered walls, clear under the light.
    // Only a scene of unknown alpha (`fill`) needs the dark layer laid whole.
    static sf::VertexArray vertices(sf::Triangles);
    vertices.clear();
    static std::vector<sf::Transform> rayTransforms;
    static std::vector<float> fanRadii;
    const std::vector<double>& angles = light.rayAngles();
    const std::vector<float>& lengths = light.rayLengths();
    std::vector<sf::Vector2i> hits = light.rayHits();
    const CellRange& range = light.litRange();
    addRectangle(vertices, sf::Transform::Identity, 0.f, 0.f, sceneSize.x, sceneSize.y, dark);
    const std::size_t firstShape = fill ? 0 : vertices.getVertexCount();
    for (int y = range.y0; y <= range.y1; ++y)
        for (int x = range.x0; x <= range.x1; ++x) {
            const std::size_t index = static_cast<std::size_t>(y) * record.width + x;
            if (index < record.explored.size() && record.explored[index] != 0)
                addRectangle(vertices, cellTransform(x, y, camera), 0.f, 0.f, TileSize, TileSize, halfDark);
        }

    const std::size_t rays = lengths.size();
    std::vector<sf::Transform>& transforms = rayTransforms;
    transforms.resize(rays);
    sf::Transformable ray;
    ray.setOrigin(0.f, 1.f);
    ray.setPosition(position - camera);
    for (std::size_t i = 0; i < rays; ++i) {
        ray.setRotation(static_cast<float>(angles[i] * 180.0 / 3.1415927));
        transforms[i] = ray.getTransform();
    }

    // The fan between rays i and i + 1 reaches as far as both rays and as far as their lines
    // touch. Runs of equal reach become one triangle: its edge cuts the arc by well under the
    // 2 units by which the lines overlap the fan.
    std::vector<float>& fan = fanRadii;
    fan.assign(rays, 0.f);
    const double spacing = rays > 1 ? angles[1] - angles[0] : 0.0;
    const float fanLimit = spacing > 0.0 ? static_cast<float>(std::min(MaxFanRadius, FanCoverage / spacing)) : 0.f;
    for (std::size_t i = 0; i + 1 < rays; ++i)
        fan[i] = std::min({lengths[i], lengths[i + 1], fanLimit});
    for (std::size_t i = 0; i + 1 < rays;) {
        std::size_t end = i + 1;
        while (end + 1 < rays && end - i < MaxFanRun && fan[end] == fan[i])
            ++end;
        if (fan[i] > 0.f)
            addTriangle(vertices, transforms[i].transformPoint(0.f, 1.f), transforms[i].transformPoint(fan[i], 1.f),
                        transforms[end].transformPoint(fan[i], 1.f), clear);
        i = end;
    }

    const sf::Vector2f origin = position - camera;
    for (std::size_t i = 0; i < rays; ++i) {
        // What lies beyond the scene's edge (with a margin for the line's width) is not drawn.
        const double dx = std::cos(angles[i]);
        const double dy = std::sin(angles[i]);
        double onScene = lengths[i];
        if (dx > 1e-9)
            onScene = std::min(onScene, (sceneSize.x + 2.0 - origin.x) / dx);
        else if (dx < -1e-9)
            onScene = std::min(onScene, (-2.0 - origin.x) / dx);
        if (dy > 1e-9)
            onScene = std::min(onScene, (sceneSize.y + 2.0 - origin.y) / dy);
        else if (dy < -1e-9)
            onScene = std::min(onScene, (-2.0 - origin.y) / dy);
        const float length = static_cast<float>(onScene);
        if (length <= 0.f)
            continue;
        // The inner part of a line is left to the fan when every triangle it crosses reaches
        // past it; the first lines stick out of the cone, and are drawn whole.
        float inner = 0.f;
        if (i >= FanNeighbours) {
            inner = fanLimit;
            for (std::size_t j = i - FanNeighbours; j < i; ++j)
                inner = std::min(inner, fan[j]);
            inner = std::max(0.f, inner - 2.f);
        }
        if (length > inner)
            addRectangle(vertices, transforms[i], inner, 0.f, length, 1.f, clear);
    }
    // Many rays end in the same wall cell; clearing it once clears the same pixels.
    std::sort(hits.begin(), hits.end(),
              [](const sf::Vector2i& a, const sf::Vector2i& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
    for (const sf::Vector2i& cell : hits)
        addRectangle(vertices, cellTransform(cell.x, cell.y, camera), 0.f, 0.f, TileSize, TileSize, clear);

    // Alpha only: the colours of the scene stay as they are.
    static const sf::BlendMode writeAlpha(sf::BlendMode::Zero, sf::BlendMode::One, sf::BlendMode::Add,
                                          sf::BlendMode::One, sf::BlendMode::Zero, sf::BlendMode::Add);
    // colour * (1 - alpha), alpha back to opaque: what a black layer of that alpha drawn over
    // the scene gives, in one pass over the scene and without a texture of its own.
    static const sf::BlendMode darken(sf::BlendMode::Zero, sf::BlendMode::OneMinusDstAlpha, sf::BlendMode::Add,
                                      sf::BlendMode::One, sf::BlendMode::Zero, sf::BlendMode::Add);
    if (vertices.getVertexCount() > firstShape)
        scene.draw(&vertices[firstShape], vertices.getVertexCount() - firstShape, sf::Triangles,
                   sf::RenderStates(writeAlpha));
    scene.draw(&vertices[0], 6, sf::Triangles, sf::RenderStates(darken));
}

} // namespace bench
} // namespace vrk
