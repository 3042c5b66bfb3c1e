// What helps a player find the way: the map of what was seen, a line for whatever is analysed,
// the frame around a usable thing within reach, and the offer to continue a later level.
#include "game/GuideTexts.hpp"
#include "game/Identifiers.hpp"
#include "game/Ingame.hpp"
#include "game/KeyTexts.hpp"
#include "game/Objects.hpp"
#include "shell/ModuleContext.hpp"
#include "shell/SceneSize.hpp"
#include "shell/Settings.hpp"
#include "tavric/model/Tavric.hpp"

namespace vrk {

bool Ingame::mapKey(sf::Keyboard::Key key)
{
    const Settings& settings = shell().settings();
    if (mapPart.shown()) {
        // Escape closes the map rather than leaving the game.
        if (key != settings.key(Action::Map) && key != settings.key(Action::Pause) && key != sf::Keyboard::Escape)
            return false;
        mapPart.setShown(false);
        if (mapPausedGame)
            setPaused(false);
        return true;
    }
    if (key != settings.key(Action::Map))
        return false;
    // A game paused already stays paused once the map closes.
    mapPausedGame = !isPaused;
    setPaused(true);
    mapPart.setShown(true);
    return true;
}

void Ingame::describeCell(int column, int row)
{
    // A door worked from afar, and the spot it is worked from, say where the other one is.
    const MapRecord& map = worldPart.map();
    for (const PanelWork& remote : remotePanels(map)) {
        if (remote.door == sf::Vector2i(column, row)) {
            addText("RemoteDoor");
            return;
        }
        if (remote.spot == sf::Vector2i(column, row) && !map.blocked(column, row)) {
            addText("RemoteSpot");
            return;
        }
    }
    bool hatch = false;
    if (const LogText* text = cellDescription(worldPart.map(), column, row, hatch))
        addMessage(logText(*text));
    else if (hatch)
        addText("Victory");
}

void Ingame::guideStep()
{
    const sf::Vector2f player = playerPart.position();
    mapPart.record(worldPart.currentSlot(), worldPart.map(), player, playerPart.facing(), lightPart.viewDistance(),
                   lightPart.halfFieldOfView());
    highlightPart.step(worldPart.map(), shell().pointer() + worldPart.camera(), player, rules().useFromTouchingCells);
    if (offerLeft > 0)
        --offerLeft;
}

std::string Ingame::continueLine() const
{
    if (!continueOffered || offerLeft <= 0)
        return std::string();
    return logText(ContinueText, "{level}", std::to_string(furthestLevel()));
}

MapWords Ingame::mapWords() const
{
    MapWords words;
    words.title = logText(MapTitleText);
    words.hint = withBoundKeys(logText(MapHintText), shell().settings());
    for (const LogText& legend : MapLegendTexts)
        words.legend.push_back(logText(legend));
    return words;
}

} // namespace vrk
