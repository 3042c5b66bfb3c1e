#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/System/Vector2.hpp>

#include <string>
#include <vector>

namespace vrk {

class Menu;
class Monster;

// What the HUD shows in one frame, in the language in use; empty texts are not drawn.
struct HudFrame {
    std::string hunters;   // "Hunters 3/12"
    std::string objective; // until the first hunter falls
    std::string lifeLabel;
    std::string runLabel;
    std::string mode;  // the cursor's mode by name
    int modeIndex = 0; // 0 attack, 1 analyse, 2 activate: the mode's colour
    bool paused = false;
    std::string offer; // the offer to continue a later level, above the conversation's box
    std::string pausedTitle;
    // Above the title: what the level asks and how far it stands ("Hunters 3/12").
    std::vector<std::string> pausedGoal;
    std::vector<std::string> pausedLines;
    const Menu* pauseMenu = nullptr; // its items, under the lines
    sf::Vector2f camera;
    sf::Vector2f player; // scene position
};

// Where the "!" over a hunter who has just seen the player goes (its top centre), kept inside the
// screen so that a spotting at the view's edge shows at that edge.
sf::Vector2f spottedMarkPlace(sf::Vector2f hunter, sf::Vector2u screen);

// The heads-up display over the fog and under the dialogue: counts, objective, labels and the
// cursor's mode, the short-lived feedback (hit flash and its direction, "!" over a hunter that
// has just seen the player, the volume indicator) and the pause screen.
class Hud {
public:
    void setFont(const sf::Font& font) { textFont = &font; }
    // Nothing of an earlier game's feedback stays (its hunters are gone).
    void restart();
    // The feedback's timers, once per played step; the marker turns toward where its hunter now
    // stands, seen from the player's place.
    void step(sf::Vector2f player);
    // The indicator's timer, once per step, paused or not: it answers keys pressed during a pause.
    void stepIndicator();

    // The player lost `loss` life; from `source` (scene position) when it has one. With a shooter
    // the marker follows that hunter, on the screen or off it, while it shows.
    void hit(int loss, sf::Vector2f player, const sf::Vector2f* source, const Monster* shooter = nullptr);
    void spotted(const Monster* hunter);
    void showIndicator(const std::string& text, int percent);

    // Alpha of the red flash at the screen's edges, 0 when none.
    int flash() const { return flashAlpha; }
    // Steps the edge marker still shows, and the direction it points, radians from the player.
    int markerSteps() const { return markerLeft; }
    double markerAngle() const { return markerDirection; }
    std::size_t marks() const { return spottedMarks.size(); }
    const std::string& indicator() const { return indicatorText; }
    int indicatorSteps() const { return indicatorLeft; }

    // The HUD proper, over the fog and under the dialogue.
    void draw(sf::RenderTarget& target, const HudFrame& frame) const;
    // The top of the offer to continue's line, on a scene of that height.
    static float offerTop(float sceneHeight);
    // Over everything, the dialogue too: the pause screen and the volume indicator.
    void drawOverlays(sf::RenderTarget& target, const HudFrame& frame) const;

private:
    struct Mark {
        const Monster* hunter;
        int steps;
    };
    void aimMarker(sf::Vector2f player, sf::Vector2f toward);
    void drawVignette(sf::RenderTarget& target) const;
    void drawMarker(sf::RenderTarget& target, sf::Vector2f player) const;
    void drawPause(sf::RenderTarget& target, const HudFrame& frame) const;
    void drawIndicator(sf::RenderTarget& target) const;

    const sf::Font* textFont = nullptr;
    int flashAlpha = 0;
    int markerLeft = 0;
    double markerDirection = 0.0;
    const Monster* markerShooter = nullptr;
    std::vector<Mark> spottedMarks;
    std::string indicatorText;
    int indicatorPercent = 0;
    int indicatorLeft = 0;
};

} // namespace vrk
