// The rules that the difficulty changes: touches, checkpoints, medical cabinets, healing out of
// combat, hunters kept to the view and the view's lead toward the pointer.
#include "game/Identifiers.hpp"
#include "game/Ingame.hpp"
#include "game/monsters/Hunter.hpp"
#include "shell/ModuleContext.hpp"
#include "shell/SceneSize.hpp"
#include "shell/Settings.hpp"
#include "tavric/model/Tavric.hpp"

#include <SFML/Graphics/RectangleShape.hpp>

#include <algorithm>
#include <cmath>

namespace vrk {

namespace {
constexpr float HealPitch = 1.0f;

int cellIndex(const MapRecord& map, int column, int row)
{
    return row * map.width + column;
}
} // namespace

const DifficultyRules& Ingame::rules() const
{
    return rulesFor(static_cast<int>(shell().settings().difficulty));
}

void Ingame::hunterTouch(const Hunter& hunter)
{
    const sf::Vector2f player = playerPart.position();
    // The way the blow goes: along the run of a chasing hunter (which may have stepped past the
    // player's centre), else from the hunter to the player.
    sf::Vector2f away = player - hunter.position();
    const float length = std::hypot(away.x, away.y);
    if (hunter.chasing() || length < 1.f) {
        const double radians = toRadians(hunter.heading());
        away = sf::Vector2f(static_cast<float>(std::cos(radians)), static_cast<float>(std::sin(radians)));
    } else {
        away /= length;
    }
    const sf::Vector2f source = player - away * static_cast<float>(TileSize);
    const DifficultyRules& r = rules();
    if (!r.touchEveryStep && playerPart.guarded())
        return;
    hitPlayer(HunterTouchDamage, &source);
    if (!r.touchEveryStep && playerPart.alive())
        playerPart.push(away * r.touchPush, worldPart.map());
}

bool Ingame::hunterMaySee(sf::Vector2f hunter) const
{
    if (!rules().hunterSightInView)
        return true;
    const sf::Vector2f camera = worldPart.camera();
    const sf::Vector2f size(shell().scene().getSize());
    return hunter.x >= camera.x && hunter.y >= camera.y && hunter.x < camera.x + size.x && hunter.y < camera.y + size.y;
}

void Ingame::leadCamera()
{
    const DifficultyRules& r = rules();
    // The view holds still while the pointer rests on something usable, so it stays under it.
    if (highlightPart.active())
        return;
    sf::Vector2f wanted;
    if (r.cameraLead > 0.f && playerPart.alive()) {
        const sf::Vector2f size(shell().scene().getSize());
        const sf::Vector2f offset = shell().pointer() - size / 2.f;
        wanted.x = std::clamp(offset.x * r.cameraLead, -size.x * CameraLeadLimit, size.x * CameraLeadLimit);
        wanted.y = std::clamp(offset.y * r.cameraLead, -size.y * CameraLeadLimit, size.y * CameraLeadLimit);
    }
    cameraLead += (wanted - cameraLead) * CameraLeadEase;
}

void Ingame::healOutOfCombat()
{
    const DifficultyRules& r = rules();
    const int calm = playedSteps - lastCombatStep;
    if (r.healEvery > 0 && playerPart.alive() && calm >= r.calmSteps && calm % r.healEvery == 0)
        playerPart.heal(1, r.maxLife);
}

void Ingame::doorOpened(int column, int row)
{
    const MapRecord& map = worldPart.map();
    const int cell = cellIndex(map, column, row);
    if (std::find(doorsOpened.begin(), doorsOpened.end(), cell) != doorsOpened.end())
        return;
    doorsOpened.push_back(cell);
    keepCheckpoint(true);
}

void Ingame::keepCheckpoint(bool healNow)
{
    const DifficultyRules& r = rules();
    if (!r.checkpoints || !playerPart.alive())
        return;
    if (healNow)
        playerPart.heal(r.maxLife / 2 - playerPart.life(), r.maxLife);
    const MapRecord& map = worldPart.map();
    kept.kept = true;
    kept.place = playerPart.position();
    kept.life = std::max(playerPart.life(), r.maxLife / 2);
    kept.fallen.clear();
    for (const auto& monster : map.monsters)
        kept.fallen.push_back(monster->life() <= 0);
    kept.ground = map.layers[GroundLayer];
    kept.walls = map.layers[WallLayer];
    kept.doorsOpened = doorsOpened;
    kept.cabinetsUsed = cabinetsUsed;
    kept.explored = mapPart.memory(worldPart.currentSlot());
    kept.fog = map.explored;
    addMessage(logText(CheckpointText));
}

void Ingame::resumeAfterDeath()
{
    resuming = true;
    playLevel(worldPart.currentSlot());
}

void Ingame::applyResume()
{
    if (!resuming) {
        kept = Checkpoint();
        doorsOpened.clear();
        cabinetsUsed.clear();
        return;
    }
    resuming = false;
    // The conversation is over: what it leads to (the objective) stays as after it.
    talked = true;
    MapRecord& map = worldPart.map();
    if (!kept.kept || !rules().checkpoints) {
        // From the level's start: its doors closed, its cabinets full.
        doorsOpened.clear();
        cabinetsUsed.clear();
        return;
    }
    // The checkpoint was kept on this very map, reloaded unchanged.
    if (kept.ground.size() == map.layers[GroundLayer].size() && kept.walls.size() == map.layers[WallLayer].size()) {
        map.layers[GroundLayer] = kept.ground;
        map.layers[WallLayer] = kept.walls;
    }
    // Everything else as it stood then too: what was used, opened and seen after it is undone.
    doorsOpened = kept.doorsOpened;
    cabinetsUsed = kept.cabinetsUsed;
    mapPart.restore(worldPart.currentSlot(), kept.explored);
    if (kept.fog.size() == map.explored.size())
        map.explored = kept.fog;
    for (std::size_t i = 0; i < kept.fallen.size() && i < map.monsters.size(); ++i)
        if (kept.fallen[i])
            map.monsters[i]->damage(map.monsters[i]->life());
    playerPart.placeAt(kept.place);
    playerPart.hurt(playerPart.life() - kept.life);
    cameraLead = sf::Vector2f();
    followCamera();
}

bool Ingame::useCabinet(int column, int row)
{
    const MapRecord& map = worldPart.map();
    if (map.value(ObjectLayer, column, row) != CabinetObject)
        return false;
    const DifficultyRules& r = rules();
    if (r.cabinetHeal <= 0)
        return true;
    if (!cabinetWithinReach(column, row, playerPart.position(), r.useFromTouchingCells)) {
        addText("TooFar");
        return true;
    }
    const int cell = cellIndex(map, column, row);
    if (std::find(cabinetsUsed.begin(), cabinetsUsed.end(), cell) != cabinetsUsed.end()) {
        addMessage(logText(CabinetEmptyText));
        return true;
    }
    cabinetsUsed.push_back(cell);
    playerPart.heal(r.cabinetHeal, r.maxLife);
    addMessage(logText(CabinetHealText));
    audioPart.play(HealSound, HealPitch);
    keepCheckpoint(false);
    return true;
}

void Ingame::drawUsedCabinets(sf::RenderTarget& target, sf::Vector2f camera) const
{
    // A grey plate where the red cross was: emptied.
    const MapRecord& map = worldPart.map();
    for (const int cell : cabinetsUsed) {
        const sf::Vector2f corner(static_cast<float>(cell % map.width * TileSize),
                                  static_cast<float>(cell / map.width * TileSize));
        sf::RectangleShape plate(sf::Vector2f(UsedCabinetPlate, UsedCabinetPlate));
        plate.setOrigin(UsedCabinetPlate / 2.f, UsedCabinetPlate / 2.f);
        plate.setPosition(corner - camera + sf::Vector2f(TileSize / 2.f, TileSize / 2.f));
        plate.setFillColor(UsedCabinetGrey);
        plate.setOutlineColor(TextOutline);
        plate.setOutlineThickness(2.f);
        target.draw(plate);
    }
}

} // namespace vrk
