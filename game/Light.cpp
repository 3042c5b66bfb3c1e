#include "game/Light.hpp"

#include "game/FogShapes.hpp"
#include "game/Tuning.hpp"

#include <SFML/Graphics/Transformable.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/Window/Context.hpp>

#include <algorithm>
#include <cmath>

namespace vrk {

Light::Light() : reach(ViewDistance), halfCone(HalfFieldOfView)
{
    vertices.setPrimitiveType(sf::Triangles);
}

bool Light::create(sf::Vector2u sceneSize)
{
    if (fogTexture.getSize() != sceneSize && !fogTexture.create(sceneSize.x, sceneSize.y))
        return false;
    fogTexture.clear(sf::Color::Black);
    sceneAlphaKnown = false;
    return true;
}

void Light::restart()
{
    reach = ViewDistance;
    halfCone = HalfFieldOfView;
    fogTexture.setSmooth(true);
}

namespace {
// Neighbouring rays that end at the same distance share one fan triangle, up to this many: its
// far edge then cuts the arc by under 0.1 unit at the full reach.
constexpr std::size_t MaxFanRun = 12;
// The player's own body is lit whatever the cone's edges, about its size.
constexpr float BodyLightRadius = 60.f;
constexpr int BodyLightSegments = 32;
// Rays per sector of the fan that share one core triangle (about 24 degrees of the default cone:
// the cores meet at the player too, so fewer and wider measured cheaper down to this size), and
// the least core worth drawing.
constexpr std::size_t SectorRays = 200;
constexpr float MinimumCore = 90.f;
} // namespace

namespace {
void addDisc(sf::VertexArray& vertices, sf::Vector2f centre, float radius, sf::Color colour)
{
    sf::Vector2f previous = centre + sf::Vector2f(radius, 0.f);
    for (int k = 1; k <= BodyLightSegments; ++k) {
        const double angle = 2.0 * Pi * k / BodyLightSegments;
        const sf::Vector2f next = centre + sf::Vector2f(static_cast<float>(radius * std::cos(angle)),
                                                        static_cast<float>(radius * std::sin(angle)));
        fog::addTriangle(vertices, centre, previous, next, colour);
        previous = next;
    }
}
} // namespace

void Light::rememberWalls(MapRecord& record) const
{
    for (const sf::Vector2i& hit : hits)
        record.markExplored(hit.x, hit.y);
}

bool Light::lit(int column, int row) const
{
    if (column < range.x0 || column > range.x1 || row < range.y0 || row > range.y1)
        return false;
    const int rangeWidth = range.x1 - range.x0 + 1;
    return litCells[static_cast<std::size_t>(row - range.y0) * rangeWidth + (column - range.x0)] != 0;
}

void Light::cast(const MapRecord& record, const CellRange& visible, sf::Vector2f position, double facing)
{
    angles.clear();
    lengths.clear();
    hits.clear();
    range = visible;
    const int rangeWidth = std::max(0, range.x1 - range.x0 + 1);
    const int rangeHeight = std::max(0, range.y1 - range.y0 + 1);
    std::vector<char> reached(static_cast<std::size_t>(rangeWidth) * rangeHeight, 0);
    const auto mark = [&](int column, int row) {
        if (column >= range.x0 && column <= range.x1 && row >= range.y0 && row <= range.y1)
            reached[static_cast<std::size_t>(row - range.y0) * rangeWidth + (column - range.x0)] = 1;
    };
    for (int y = range.y0; y <= range.y1; ++y)
        for (int x = range.x0; x <= range.x1; ++x) {
            const std::size_t index = static_cast<std::size_t>(y) * record.width + x;
            if (index < record.explored.size() && record.explored[index] != 0)
                mark(x, y);
        }

    const double a0 = facing + Pi - halfCone;
    const double a1 = facing + Pi + halfCone;
    const double step = (a1 - a0) / (reach * RaysPerUnitOfReach);
    // A reach or a cone that gives no positive step casts nothing (and cannot loop forever).
    if (step > 0.0 && std::isfinite(step) && (a1 - a0) / step <= 1e6) {
        const double px = position.x;
        const double py = position.y;
        for (double a = a0; a < a1; a += step) {
            const double c = std::cos(a);
            const double s = std::sin(a);
            double length = 0.0;
            for (double d = 0.0; d < reach; d += RaySampleStep) {
                length = d;
                const int column = cellOf(px + d * c);
                const int row = cellOf(py + d * s);
                if (!record.contains(column, row))
                    break;
                mark(column, row);
                const int wall = record.value(WallLayer, column, row);
                if (wall == WallCell || wall == ClosedDoor) {
                    hits.emplace_back(column, row);
                    break;
                }
            }
            angles.push_back(a);
            lengths.push_back(static_cast<float>(length));
        }
    }

    // A line runs at most 60 from its last sample inside the map, so it stays within the cells
    // next to the sample cells: everything else lies under unbroken darkness.
    litCells.assign(reached.size(), 0);
    for (int y = 0; y < rangeHeight; ++y)
        for (int x = 0; x < rangeWidth; ++x) {
            if (!reached[static_cast<std::size_t>(y) * rangeWidth + x])
                continue;
            for (int ny = std::max(0, y - 1); ny <= std::min(rangeHeight - 1, y + 1); ++ny)
                for (int nx = std::max(0, x - 1); nx <= std::min(rangeWidth - 1, x + 1); ++nx)
                    litCells[static_cast<std::size_t>(ny) * rangeWidth + nx] = 1;
        }
    // The circle of awareness shows whatever lies under it, dimly.
    if (awareness > 0.f) {
        const int x0 = std::max(range.x0, cellOf(position.x - awareness));
        const int x1 = std::min(range.x1, cellOf(position.x + awareness));
        const int y0 = std::max(range.y0, cellOf(position.y - awareness));
        const int y1 = std::min(range.y1, cellOf(position.y + awareness));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                litCells[static_cast<std::size_t>(y - range.y0) * rangeWidth + (x - range.x0)] = 1;
    }
}

// Written without blending, clear shapes clear the fog whatever lies below them, so the order
// and the overlaps of the light's shapes do not matter. The lit part of the cone is one filled
// fan from the player to the ends of the rays, so no gaps open between rays far from the player.
// The fog is kept in the scene's alpha channel rather than in a texture of its own, which saves
// a pass over the scene.
void Light::paint(sf::RenderTexture& scene, const MapRecord& record, sf::Vector2f camera, sf::Vector2f position)
{
    using namespace fog;
    // The darkness goes into the scene's alpha channel first: all dark, half dark over
    // remembered walls, clear under the light. The last step below leaves the scene's alpha opaque everywhere, and
    // every other drawing (the loading screen, the overlay, sprites, texts, the cursor) keeps it so; only a scene of
    // unknown alpha, such as the first after a start, needs the dark layer laid whole.
    const bool fill = !sceneAlphaKnown;
    sceneAlphaKnown = true;
    const std::size_t firstShape = beginDarkness(vertices, sf::Vector2f(scene.getSize()), record, range, camera, fill);
    // Before the light's shapes, which clear what they cover whatever lies below.
    if (awareness > 0.f)
        addDisc(vertices, position - camera, awareness, HalfDark);

    // The rim of the fan runs through the two far corners of each ray's one-unit line (the ray
    // runs along the line's edge y = 0 in the line's own frame), so the fan lights every pixel
    // that line would and fills the gap to the next ray.
    const sf::Vector2f origin = position - camera;
    const std::size_t rays = lengths.size();
    rim.resize(2 * rays);
    sf::Transformable ray;
    ray.setOrigin(0.f, 1.f);
    ray.setPosition(origin);
    for (std::size_t i = 0; i < rays; ++i) {
        ray.setRotation(static_cast<float>(angles[i] * 180.0 / 3.1415927));
        const sf::Transform& transform = ray.getTransform();
        rim[2 * i] = transform.transformPoint(lengths[i], 0.f);
        rim[2 * i + 1] = transform.transformPoint(lengths[i], 1.f);
    }
    // Thin triangles that all meet at the player cost the renderer far more than their area:
    // each sector of rays gets one triangle out to just inside its shortest ray (its core), and
    // the fan's triangles whose edges lie within the sector start from the core's edge.
    cores.assign((rays + SectorRays - 1) / SectorRays, Core{});
    for (std::size_t first = 0; first + 1 < rays; first += SectorRays) {
        const std::size_t last = std::min(first + SectorRays, rays) - 1;
        const float shortest = *std::min_element(lengths.begin() + first, lengths.begin() + last + 1) - 1.f;
        // The core's far edge is a chord: at the sector's middle it lies nearer than its ends.
        const double half = (angles[last] - angles[first]) / 2.0;
        const float inner = static_cast<float>(shortest * std::cos(half)) - 1.f;
        if (inner < MinimumCore)
            continue;
        const auto along = [&](double angle, float distance) {
            return origin + sf::Vector2f(static_cast<float>(distance * std::cos(angle)),
                                         static_cast<float>(distance * std::sin(angle)));
        };
        addTriangle(vertices, origin, along(angles[first], shortest), along(angles[last], shortest), Clear);
        cores[first / SectorRays] =
            Core{angles[first], angles[last], (angles[last] - angles[first]) / (last - first), inner};
    }
    // Whether a rim point's direction lies inside the core's angle by a ray's step at least, so
    // that the core's edges and the piece's never meet (rounding would open hairline gaps
    // between nearly parallel edges). A line's far corners lie on its ray and one unit aside.
    const auto within = [&](std::size_t ray, bool side, const Core& core) {
        const double angle = side ? angles[ray] - std::atan2(1.0, static_cast<double>(lengths[ray])) : angles[ray];
        return angle >= core.from + core.margin && angle <= core.to - core.margin;
    };
    const auto addPiece = [&](std::size_t rayA, bool sideA, std::size_t rayB, bool sideB) {
        const sf::Vector2f a = rim[2 * rayA + (sideA ? 0 : 1)];
        const sf::Vector2f b = rim[2 * rayB + (sideB ? 0 : 1)];
        const Core& core = cores[rayA / SectorRays];
        if (core.radius > 0.f && rayA / SectorRays == rayB / SectorRays) {
            if (within(rayA, sideA, core) && within(rayB, sideB, core)) {
                const auto inward = [&](sf::Vector2f p) {
                    const sf::Vector2f d = p - origin;
                    const float length = std::sqrt(d.x * d.x + d.y * d.y);
                    return origin + d * (core.radius / length);
                };
                const sf::Vector2f innerA = inward(a);
                const sf::Vector2f innerB = inward(b);
                addTriangle(vertices, innerA, a, b, Clear);
                addTriangle(vertices, innerA, b, innerB, Clear);
                return;
            }
        }
        addTriangle(vertices, origin, a, b, Clear);
    };
    for (std::size_t i = 0; i < rays;) {
        std::size_t end = i;
        while (end + 1 < rays && end + 1 - i < MaxFanRun && lengths[end + 1] == lengths[i])
            ++end;
        addPiece(i, true, end, false);
        if (end + 1 < rays)
            addPiece(end, false, end + 1, true);
        i = end + 1;
    }

    addDisc(vertices, origin, BodyLightRadius, Clear);

    clearReachedWalls(vertices, hits, camera);

    if (vertices.getVertexCount() > firstShape) {
        // Writing the alpha channel alone, without blending, spares the renderer the blend.
        using ColorMask = void (*)(GLboolean, GLboolean, GLboolean, GLboolean);
        static const auto colorMask = reinterpret_cast<ColorMask>(sf::Context::getFunction("glColorMask"));
        if (colorMask && scene.setActive(true)) {
            colorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
            scene.draw(&vertices[firstShape], vertices.getVertexCount() - firstShape, sf::Triangles,
                       sf::RenderStates(sf::BlendNone));
            colorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        } else {
            scene.draw(&vertices[firstShape], vertices.getVertexCount() - firstShape, sf::Triangles,
                       sf::RenderStates(WriteAlpha));
        }
    }
    darkenScene(scene, vertices);
}

} // namespace vrk
