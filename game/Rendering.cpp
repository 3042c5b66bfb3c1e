// One frame of the game, in the order the rules give: tiles, characters, effects, ceiling, fog,
// log, bars and the dialogue box.
#include "game/Identifiers.hpp"
#include "game/Ingame.hpp"
#include "shell/ModuleContext.hpp"
#include "shell/SceneSize.hpp"
#include "shell/Settings.hpp"
#include "tavric/model/Tavric.hpp"

namespace vrk {

// Cells under unbroken darkness are skipped: the fog paints them black whatever lies below.
void Ingame::drawLayer(int layer, const CellRange& range)
{
    static const std::vector<bool> noneOpaque;
    tilePart.draw(
        shell().scene(), worldPart.map(), layer, range, worldPart.camera(), textures[layer],
        [this](int column, int row) { return !cullDarkCells || lightPart.lit(column, row); },
        layer == GroundLayer ? opaqueGround : noneOpaque);
}

// Every pixel of the scene is painted opaquely when the view lies on the map and every visible
// cell has an opaque ground tile: the light paints black or half dark over what it does not
// reach, the ground paints the rest.
bool Ingame::onCoversScene() const
{
    const sf::Vector2f camera = worldPart.camera();
    const sf::Vector2u scene = shell().scene().getSize();
    const MapRecord& record = worldPart.map();
    if (camera.x < 0.f || camera.y < 0.f || camera.x + static_cast<float>(scene.x) > record.width * TileSize ||
        camera.y + static_cast<float>(scene.y) > record.height * TileSize)
        return false;
    const CellRange range = visibleCells();
    for (int y = range.y0; y <= range.y1; ++y)
        for (int x = range.x0; x <= range.x1; ++x) {
            const int v = record.value(GroundLayer, x, y);
            if (v < 1 || static_cast<std::size_t>(v) >= opaqueGround.size() || !opaqueGround[v])
                return false;
        }
    return true;
}

void Ingame::castLight()
{
    castFrameLight();
    lightPart.rememberWalls(worldPart.map());
}

void Ingame::castFrameLight()
{
    lightPart.setAwareness(playerPart.alive() ? rules().awarenessRadius : 0.f);
    lightPart.cast(worldPart.map(), visibleCells(), playerPart.position(), playerPart.facing());
}

void Ingame::drawFog()
{
    castFrameLight();
    lightPart.paint(shell().scene(), worldPart.map(), worldPart.camera(), playerPart.position());
}

void Ingame::onDraw()
{
    sf::RenderTexture& scene = shell().scene();
    const CellRange range = visibleCells();
    const sf::Vector2f camera = worldPart.camera();
    // The light first: it tells which cells are worth drawing at all.
    castFrameLight();
    stageDrawn(FrameStage::Light);

    // Ground and objects never overlap their neighbours, so a layer at a time paints the same
    // as cell by cell.
    drawLayer(GroundLayer, range);
    drawLayer(ObjectLayer, range);
    drawUsedCabinets(scene, camera);
    stageDrawn(FrameStage::Tiles);

    const bool alive = playerPart.alive();
    if (alive)
        worldPart.drawMonsters(scene);
    playerPart.draw(scene, camera);
    if (!alive)
        worldPart.drawMonsters(scene);
    // On the easier rules bullets glow: they are drawn over the fog instead.
    const bool readable = rules().readableThreats;
    if (!readable)
        worldPart.drawBullets(scene);
    eventsPart.drawSparks(scene, sprites[SparkTexture], camera);
    stageDrawn(FrameStage::Characters);

    drawLayer(CeilingLayer, range);
    stageDrawn(FrameStage::Ceiling);
    lightPart.paint(scene, worldPart.map(), camera, playerPart.position());
    // The hunters within the circle of awareness show whatever the cone's direction.
    if (alive && lightPart.awarenessRadius() > 0.f)
        worldPart.drawMonstersNear(scene, playerPart.position(), lightPart.awarenessRadius());
    if (readable)
        worldPart.drawBullets(scene);
    highlightPart.draw(scene, camera);
    stageDrawn(FrameStage::Fog);

    const HudFrame hud = hudFrame();
    // The log stays clear of the conversation's box and of the offer's line above it.
    const int sceneHeight = static_cast<int>(scene.getSize().y);
    int logBottom = dialoguePart.clearBottom(sceneHeight);
    if (!hud.offer.empty())
        logBottom = std::min(logBottom, static_cast<int>(Hud::offerTop(static_cast<float>(sceneHeight))) - 10);
    logPart.draw(scene, static_cast<unsigned>(logBottom));
    playerPart.drawBars(scene);
    hudPart.draw(scene, hud);
    dialoguePart.draw(scene);
    hudPart.drawOverlays(scene, hud);
    if (mapPart.shown())
        mapPart.draw(scene, fonts[MessageFont], worldPart.currentSlot(), playerPart.position(), cabinetsUsed, mapWords());
    if (optionsPart.isOpen())
        optionsPart.draw();
    stageDrawn(FrameStage::Interface);
}

} // namespace vrk
