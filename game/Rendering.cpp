#include "game/Ingame.hpp"

#include "game/monsters/Monster.hpp"
#include "shell/Program.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vrk {

namespace {
constexpr double Pi = 3.14159265358979323846;
constexpr int BodyTexture = 7;
constexpr int SparkTexture = 8;
constexpr int LifeBarTexture = 9;
constexpr int RunBarTexture = 6;
constexpr int SparkFrames = 3;
constexpr float MessageLineSpacing = 1.2f;
constexpr float MessageLeft = 20.f;
const sf::IntRect CorpseFrame(960, 0, TileSize, TileSize);
const sf::IntRect BodyFrame(0, 0, TileSize, TileSize);
const char* const GameOverLine = "Game over - Press space to restart";
} // namespace

Ingame::CellRange Ingame::visibleCells() const
{
    const sf::Vector2u scene = program->sceneTexture.getSize();
    const double cx = camera.x;
    const double cy = camera.y;
    CellRange range;
    range.x0 = std::max(0, static_cast<int>((cx - 1.0) / TileSize));
    range.y0 = std::max(0, static_cast<int>((cy - 1.0) / TileSize));
    range.x1 = std::min(map().width - 1, static_cast<int>((scene.x + cx + 1.0) / TileSize));
    range.y1 = std::min(map().height - 1, static_cast<int>((scene.y + cy + 1.0) / TileSize));
    return range;
}

// Cells under unbroken darkness are skipped: the fog paints them black whatever lies below.
void Ingame::drawLayer(int layer, const CellRange& range)
{
    sf::RenderTexture& scene = program->sceneTexture;
    sf::Sprite& sprite = sprites[layer];
    const MapRecord& record = map();
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) {
            const int v = record.value(layer, x, y);
            if (v < 1 || (cullDarkCells && !lit(x, y)))
                continue;
            sprite.setTextureRect(sf::IntRect((v - 1) % TileSheetColumns * TileSize,
                                              (v - 1) / TileSheetColumns * TileSize, TileSize, TileSize));
            sprite.setPosition(static_cast<float>(x * TileSize) - camera.x,
                               static_cast<float>(y * TileSize) - camera.y);
            scene.draw(sprite);
        }
    }
}

void Ingame::draw()
{
    if (!started)
        return;
    sf::RenderTexture& scene = program->sceneTexture;
    const CellRange range = visibleCells();
    const MapRecord& record = map();
    // The light first: it tells which cells are worth drawing at all.
    castRays();

    // Ground and objects never overlap their neighbours, so a layer at a time paints the same
    // as cell by cell.
    drawLayer(GroundLayer, range);
    drawLayer(ObjectLayer, range);

    const bool alive = life > 0;
    if (alive)
        for (const auto& monster : record.monsters)
            scene.draw(*monster);

    sf::Sprite& body = sprites[BodyTexture];
    const sf::Vector2f screen = playerPosition - camera;
    body.setPosition(screen);
    if (!alive) {
        body.setTextureRect(CorpseFrame);
    } else {
        body.setTextureRect(BodyFrame);
        if (attackTimer != 0) {
            attackSprite.setPosition(screen);
            scene.draw(attackSprite);
        }
        legsSprite.setPosition(screen);
        if (walkFrame != 0 && walkFrame != 8)
            scene.draw(legsSprite);
    }
    scene.draw(body);

    if (!alive) {
        for (const auto& monster : record.monsters)
            scene.draw(*monster);
        addMessage(GameOverLine);
    }

    for (const auto& bullet : record.bullets)
        scene.draw(*bullet);

    sf::Sprite& spark = sprites[SparkTexture];
    for (auto it = sparks.begin(); it != sparks.end();) {
        if (--it->timer < 1) {
            it = sparks.erase(it);
            continue;
        }
        spark.setPosition(static_cast<float>(it->column * TileSize) - camera.x + TileSize / 2,
                          static_cast<float>(it->row * TileSize) - camera.y + TileSize / 2);
        spark.setTextureRect(sf::IntRect(std::rand() % SparkFrames * TileSize, 0, TileSize, TileSize));
        spark.setRotation(static_cast<float>(std::rand() % 360));
        scene.draw(spark);
        ++it;
    }

    drawLayer(CeilingLayer, range);
    paintFog();

    float y = static_cast<float>(scene.getSize().y);
    for (sf::Text& text : messages) {
        y = std::trunc(y - MessageLineSpacing * static_cast<float>(text.getCharacterSize()));
        text.setPosition(MessageLeft, y);
        scene.draw(text);
    }
    scene.draw(sprites[LifeBarTexture]);
    scene.draw(sprites[RunBarTexture]);

    if (dialogueRunning())
        drawDialogue();
}

// ---- fog of war ----

namespace {
// Samples along a ray are this far apart.
constexpr double SampleStep = 60.0;
// Rays closer to their neighbours than this (in pixels at a given radius) leave no gap between
// their lines, so up to there the cone can be filled with a fan instead of thin quads.
constexpr double FanCoverage = 0.94;
constexpr double MaxFanRadius = 450.0;
// A line reaches this many neighbours' worth of angle toward the previous ray at its inner end.
constexpr std::size_t FanNeighbours = 10;
// Rays per fan triangle at most: at the fan's reach its edge stays within 0.2 of the arc.
constexpr std::size_t MaxFanRun = 24;
} // namespace

bool Ingame::lit(int column, int row) const
{
    if (column < litRange.x0 || column > litRange.x1 || row < litRange.y0 || row > litRange.y1)
        return false;
    const int rangeWidth = litRange.x1 - litRange.x0 + 1;
    return litCells[static_cast<std::size_t>(row - litRange.y0) * rangeWidth + (column - litRange.x0)] != 0;
}

void Ingame::castRays()
{
    rayAngles.clear();
    rayLengths.clear();
    rayHits.clear();
    MapRecord& record = map();
    litRange = visibleCells();
    const int rangeWidth = std::max(0, litRange.x1 - litRange.x0 + 1);
    const int rangeHeight = std::max(0, litRange.y1 - litRange.y0 + 1);
    std::vector<char> reached(static_cast<std::size_t>(rangeWidth) * rangeHeight, 0);
    const auto mark = [&](int column, int row) {
        if (column >= litRange.x0 && column <= litRange.x1 && row >= litRange.y0 && row <= litRange.y1)
            reached[static_cast<std::size_t>(row - litRange.y0) * rangeWidth + (column - litRange.x0)] = 1;
    };
    for (int y = litRange.y0; y <= litRange.y1; ++y)
        for (int x = litRange.x0; x <= litRange.x1; ++x) {
            const std::size_t index = static_cast<std::size_t>(y) * record.width + x;
            if (index < record.explored.size() && record.explored[index] != 0)
                mark(x, y);
        }

    const double a0 = facingAngle + Pi - halfFieldOfView;
    const double a1 = facingAngle + Pi + halfFieldOfView;
    const double step = (a1 - a0) / (viewDistance * 1.5);
    // A reach or a cone that gives no positive step casts nothing (and cannot loop forever).
    if (step > 0.0 && std::isfinite(step) && (a1 - a0) / step <= 1e6) {
        const double px = playerPosition.x;
        const double py = playerPosition.y;
        for (double a = a0; a < a1; a += step) {
            const double c = std::cos(a);
            const double s = std::sin(a);
            double length = 0.0;
            for (double d = 0.0; d < viewDistance; d += SampleStep) {
                length = d;
                const int column = cellOf(px + d * c);
                const int row = cellOf(py + d * s);
                if (!record.contains(column, row))
                    break;
                mark(column, row);
                const int wall = record.value(WallLayer, column, row);
                if (wall == WallCell || wall == ClosedDoor) {
                    const std::size_t index = static_cast<std::size_t>(row) * record.width + column;
                    if (index < record.explored.size())
                        record.explored[index] = 1;
                    rayHits.emplace_back(column, row);
                    break;
                }
            }
            rayAngles.push_back(a);
            rayLengths.push_back(static_cast<float>(length));
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
}

namespace {
void addTriangle(sf::VertexArray& vertices, sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, sf::Color colour)
{
    vertices.append(sf::Vertex(a, colour));
    vertices.append(sf::Vertex(b, colour));
    vertices.append(sf::Vertex(c, colour));
}

// The rectangle (left, top) - (right, bottom) of the transform's local space, as two triangles.
void addRectangle(sf::VertexArray& vertices, const sf::Transform& transform, float left, float top, float right,
                  float bottom, sf::Color colour)
{
    const sf::Vector2f a = transform.transformPoint(left, top);
    const sf::Vector2f b = transform.transformPoint(right, top);
    const sf::Vector2f c = transform.transformPoint(right, bottom);
    const sf::Vector2f d = transform.transformPoint(left, bottom);
    addTriangle(vertices, a, b, c, colour);
    addTriangle(vertices, a, c, d, colour);
}

sf::Transform cellTransform(int column, int row, sf::Vector2f camera)
{
    sf::Transform at;
    at.translate(static_cast<float>(column * TileSize) - camera.x, static_cast<float>(row * TileSize) - camera.y);
    return at;
}
} // namespace

void Ingame::drawFog()
{
    castRays();
    paintFog();
}

// Written without blending, clear shapes clear the fog whatever lies below them, so the order
// and the overlaps of the light's shapes do not matter. Instead of one rectangle per sample
// (tens of thousands of draws) each ray is one line of its final length, all in one batch; near
// the player, where neighbouring lines touch, a fan of triangles replaces their inner parts (the
// fan lies inside the lines it replaces, so the same pixels are cleared). The fog is kept in the
// scene's alpha channel rather than in a texture of its own, which saves a pass over the scene.
void Ingame::paintFog()
{
    const sf::Color dark(0, 0, 0, 255);
    const sf::Color halfDark(0, 0, 0, 128);
    const sf::Color clear(0, 0, 0, 0);
    const MapRecord& record = map();
    sf::RenderTexture& scene = program->sceneTexture;
    const sf::Vector2f sceneSize(scene.getSize());

    // The darkness goes into the scene's alpha channel first: all dark, half dark over
    // remembered walls, clear under the light.
    fogVertices.setPrimitiveType(sf::Triangles);
    fogVertices.clear();
    // The last step below leaves the scene's alpha opaque everywhere, and every other drawing
    // (the loading screen, the overlay, sprites, texts, the cursor) keeps it so; only a scene
    // of unknown alpha, such as the first after a start, needs the dark layer laid whole.
    const bool fill = fogNeedsFill;
    fogNeedsFill = false;
    addRectangle(fogVertices, sf::Transform::Identity, 0.f, 0.f, sceneSize.x, sceneSize.y, dark);
    const std::size_t firstShape = fill ? 0 : fogVertices.getVertexCount();
    for (int y = litRange.y0; y <= litRange.y1; ++y)
        for (int x = litRange.x0; x <= litRange.x1; ++x) {
            const std::size_t index = static_cast<std::size_t>(y) * record.width + x;
            if (index < record.explored.size() && record.explored[index] != 0)
                addRectangle(fogVertices, cellTransform(x, y, camera), 0.f, 0.f, TileSize, TileSize, halfDark);
        }

    const std::size_t rays = rayLengths.size();
    std::vector<sf::Transform>& transforms = rayTransforms;
    transforms.resize(rays);
    sf::Transformable ray;
    ray.setOrigin(0.f, 1.f);
    ray.setPosition(playerPosition - camera);
    for (std::size_t i = 0; i < rays; ++i) {
        ray.setRotation(static_cast<float>(rayAngles[i] * 180.0 / 3.1415927));
        transforms[i] = ray.getTransform();
    }

    // The fan between rays i and i + 1 reaches as far as both rays and as far as their lines
    // touch. Runs of equal reach become one triangle: its edge cuts the arc by well under the
    // 2 units by which the lines overlap the fan.
    std::vector<float>& fan = fanRadii;
    fan.assign(rays, 0.f);
    const double spacing = rays > 1 ? rayAngles[1] - rayAngles[0] : 0.0;
    const float fanLimit = spacing > 0.0 ? static_cast<float>(std::min(MaxFanRadius, FanCoverage / spacing)) : 0.f;
    for (std::size_t i = 0; i + 1 < rays; ++i)
        fan[i] = std::min({rayLengths[i], rayLengths[i + 1], fanLimit});
    for (std::size_t i = 0; i + 1 < rays;) {
        std::size_t end = i + 1;
        while (end + 1 < rays && end - i < MaxFanRun && fan[end] == fan[i])
            ++end;
        if (fan[i] > 0.f)
            addTriangle(fogVertices, transforms[i].transformPoint(0.f, 1.f), transforms[i].transformPoint(fan[i], 1.f),
                        transforms[end].transformPoint(fan[i], 1.f), clear);
        i = end;
    }

    const sf::Vector2f origin = playerPosition - camera;
    for (std::size_t i = 0; i < rays; ++i) {
        // What lies beyond the scene's edge (with a margin for the line's width) is not drawn.
        const double dx = std::cos(rayAngles[i]);
        const double dy = std::sin(rayAngles[i]);
        double onScene = rayLengths[i];
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
            addRectangle(fogVertices, transforms[i], inner, 0.f, length, 1.f, clear);
    }
    // Many rays end in the same wall cell; clearing it once clears the same pixels.
    std::sort(rayHits.begin(), rayHits.end(),
              [](const sf::Vector2i& a, const sf::Vector2i& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    rayHits.erase(std::unique(rayHits.begin(), rayHits.end()), rayHits.end());
    for (const sf::Vector2i& cell : rayHits)
        addRectangle(fogVertices, cellTransform(cell.x, cell.y, camera), 0.f, 0.f, TileSize, TileSize, clear);

    // Alpha only: the colours of the scene stay as they are.
    static const sf::BlendMode writeAlpha(sf::BlendMode::Zero, sf::BlendMode::One, sf::BlendMode::Add,
                                          sf::BlendMode::One, sf::BlendMode::Zero, sf::BlendMode::Add);
    // colour * (1 - alpha), alpha back to opaque: what a black layer of that alpha drawn over
    // the scene gives, in one pass over the scene and without a texture of its own.
    static const sf::BlendMode darken(sf::BlendMode::Zero, sf::BlendMode::OneMinusDstAlpha, sf::BlendMode::Add,
                                      sf::BlendMode::One, sf::BlendMode::Zero, sf::BlendMode::Add);
    if (fogVertices.getVertexCount() > firstShape)
        scene.draw(&fogVertices[firstShape], fogVertices.getVertexCount() - firstShape, sf::Triangles,
                   sf::RenderStates(writeAlpha));
    scene.draw(&fogVertices[0], 6, sf::Triangles, sf::RenderStates(darken));
}

} // namespace vrk
