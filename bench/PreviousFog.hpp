#pragma once
// The game's previous batched fog: each ray one thin line of its final length, with a fan only
// near the player where neighbouring lines touch. Kept for the benchmark, which measures it
// beside the literal drawing and the game's filled fan.

#include "game/FogShapes.hpp"
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

// Written without blending, clear shapes clear the fog whatever lies below them, so the order
// and the overlaps of the light's shapes do not matter. Instead of one rectangle per sample
// (tens of thousands of draws) each ray is one line of its final length, all in one batch; near
// the player, where neighbouring lines touch, a fan of triangles replaces their inner parts (the
// fan lies inside the lines it replaces, so the same pixels are cleared). The fog is kept in the
// scene's alpha channel rather than in a texture of its own, which saves a pass over the scene.
inline void paintPreviousFog(const Light& light, sf::RenderTexture& scene, const MapRecord& record, sf::Vector2f camera,
                             sf::Vector2f position, bool fill)
{
    using namespace fog;
    const sf::Vector2f sceneSize(scene.getSize());

    // The darkness goes into the scene's alpha channel first: all dark, half dark over
    // remembered walls, clear under the light.
    // Only a scene of unknown alpha (`fill`) needs the dark layer laid whole.
    static sf::VertexArray vertices(sf::Triangles);
    static std::vector<sf::Transform> rayTransforms;
    static std::vector<float> fanRadii;
    const std::vector<double>& angles = light.rayAngles();
    const std::vector<float>& lengths = light.rayLengths();
    std::vector<sf::Vector2i> hits = light.rayHits();
    const std::size_t firstShape = beginDarkness(vertices, sceneSize, record, light.litRange(), camera, fill);

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
                        transforms[end].transformPoint(fan[i], 1.f), Clear);
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
            addRectangle(vertices, transforms[i], inner, 0.f, length, 1.f, Clear);
    }
    clearReachedWalls(vertices, hits, camera);

    if (vertices.getVertexCount() > firstShape)
        scene.draw(&vertices[firstShape], vertices.getVertexCount() - firstShape, sf::Triangles,
                   sf::RenderStates(WriteAlpha));
    darkenScene(scene, vertices);
}

} // namespace bench
} // namespace vrk
