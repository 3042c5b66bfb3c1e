#include "game/Ingame.hpp"

#include "game/monsters/Monster.hpp"
#include "shell/Program.hpp"

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

void Ingame::drawLayer(int layer, const CellRange& range)
{
    sf::RenderTexture& scene = program->sceneTexture;
    sf::Sprite& sprite = sprites[layer];
    const MapRecord& record = map();
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) {
            const int v = record.value(layer, x, y);
            if (v < 1)
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
    drawFog();

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

void Ingame::castRays()
{
    rayAngles.clear();
    rayLengths.clear();
    rayHits.clear();
    const double a0 = facingAngle + Pi - halfFieldOfView;
    const double a1 = facingAngle + Pi + halfFieldOfView;
    const double step = (a1 - a0) / (viewDistance * 1.5);
    // A reach or a cone that gives no positive step casts nothing (and cannot loop forever).
    if (!(step > 0.0) || !std::isfinite(step) || (a1 - a0) / step > 1e6)
        return;
    MapRecord& record = map();
    const double px = playerPosition.x;
    const double py = playerPosition.y;
    for (double a = a0; a < a1; a += step) {
        const double c = std::cos(a);
        const double s = std::sin(a);
        double length = 0.0;
        for (double d = 0.0; d < viewDistance; d += 60.0) {
            length = d;
            const int column = cellOf(px + d * c);
            const int row = cellOf(py + d * s);
            if (!record.contains(column, row))
                break;
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

namespace {
void addQuad(sf::VertexArray& vertices, const sf::Transform& transform, float width, float height,
             sf::Color colour)
{
    vertices.append(sf::Vertex(transform.transformPoint(0.f, 0.f), colour));
    vertices.append(sf::Vertex(transform.transformPoint(width, 0.f), colour));
    vertices.append(sf::Vertex(transform.transformPoint(width, height), colour));
    vertices.append(sf::Vertex(transform.transformPoint(0.f, height), colour));
}
} // namespace

// Drawn with blend mode none, overlapping transparent rectangles clear the same pixels whether
// a ray is painted sample by sample or once at its final length: one batch of quads replaces
// the tens of thousands of rectangle draws of the literal drawing.
void Ingame::drawFog()
{
    castRays();
    const sf::Color halfDark(0, 0, 0, 128);
    const sf::Color clear(0, 0, 0, 0);
    const MapRecord& record = map();
    const CellRange range = visibleCells();

    fogVertices.clear();
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) {
            const std::size_t index = static_cast<std::size_t>(y) * record.width + x;
            if (index >= record.explored.size() || record.explored[index] == 0)
                continue;
            sf::Transform at;
            at.translate(static_cast<float>(x * TileSize) - camera.x, static_cast<float>(y * TileSize) - camera.y);
            addQuad(fogVertices, at, TileSize, TileSize, halfDark);
        }
    }

    sf::Transformable ray;
    ray.setOrigin(0.f, 1.f);
    ray.setPosition(playerPosition - camera);
    for (std::size_t i = 0; i < rayLengths.size(); ++i) {
        if (rayLengths[i] > 0.f) {
            ray.setRotation(static_cast<float>(rayAngles[i] * 180.0 / 3.1415927));
            addQuad(fogVertices, ray.getTransform(), rayLengths[i], 1.f, clear);
        }
    }
    for (const sf::Vector2i& cell : rayHits) {
        sf::Transform at;
        at.translate(static_cast<float>(cell.x * TileSize) - camera.x,
                     static_cast<float>(cell.y * TileSize) - camera.y);
        addQuad(fogVertices, at, TileSize, TileSize, clear);
    }

    fogTexture.clear(sf::Color::Black);
    fogTexture.draw(fogVertices, sf::RenderStates(sf::BlendNone));
    fogTexture.display();
    program->sceneTexture.draw(sf::Sprite(fogTexture.getTexture()));
}

} // namespace vrk
