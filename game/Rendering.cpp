// One frame of the game, in the order the rules give: tiles, characters, effects, ceiling, fog,
// log, bars and the dialogue box.
#include "game/Identifiers.hpp"
#include "game/Ingame.hpp"
#include "shell/Program.hpp"

namespace vrk {

namespace {
const char* const GameOverLine = "Game over - Press space to restart";
} // namespace

// Cells under unbroken darkness are skipped: the fog paints them black whatever lies below.
void Ingame::drawLayer(int layer, const CellRange& range)
{
    sf::RenderTexture& scene = program->sceneTexture;
    sf::Sprite& sheet = sprites[layer];
    const MapRecord& record = worldPart.map();
    const sf::Vector2f camera = worldPart.camera();
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) {
            const int v = record.value(layer, x, y);
            if (v < 1 || (cullDarkCells && !lightPart.lit(x, y)))
                continue;
            sheet.setTextureRect(sf::IntRect((v - 1) % TileSheetColumns * TileSize,
                                             (v - 1) / TileSheetColumns * TileSize, TileSize, TileSize));
            sheet.setPosition(static_cast<float>(x * TileSize) - camera.x, static_cast<float>(y * TileSize) - camera.y);
            scene.draw(sheet);
        }
    }
}

void Ingame::castLight()
{
    lightPart.cast(worldPart.map(), visibleCells(), playerPart.position(), playerPart.facing());
}

void Ingame::drawFog()
{
    castLight();
    lightPart.paint(program->sceneTexture, worldPart.map(), worldPart.camera(), playerPart.position());
}

void Ingame::onDraw()
{
    sf::RenderTexture& scene = program->sceneTexture;
    const CellRange range = visibleCells();
    const sf::Vector2f camera = worldPart.camera();
    // The light first: it tells which cells are worth drawing at all.
    castLight();

    // Ground and objects never overlap their neighbours, so a layer at a time paints the same
    // as cell by cell.
    drawLayer(GroundLayer, range);
    drawLayer(ObjectLayer, range);

    const bool alive = playerPart.alive();
    if (alive)
        worldPart.drawMonsters(scene);
    playerPart.draw(scene, camera);
    if (!alive) {
        worldPart.drawMonsters(scene);
        addMessage(GameOverLine);
    }
    worldPart.drawBullets(scene);
    eventsPart.drawSparks(scene, sprites[SparkTexture], camera);

    drawLayer(CeilingLayer, range);
    lightPart.paint(scene, worldPart.map(), camera, playerPart.position());

    logPart.draw(scene, scene.getSize().y);
    playerPart.drawBars(scene);
    dialoguePart.draw(scene);
}

} // namespace vrk
