#pragma once

#include "shell/Module.hpp"

#include <SFML/Audio/Music.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Vector2.hpp>

#include <vector>

namespace vrk {

// The opening animation: a bunny drops on a swaying rope, climbs back with the title beneath it,
// holds, and both leave while the scene washes to white. Any key or mouse button skips it.
class Credit : public Module {
public:
    enum Image { Bunny = 0, Rope = 1, Title = 2, ImageCount = 3 };
    enum Phase { Wait = 0, Fall = 1, Rise = 2, Hold = 3, Leave = 4, End = 5 };

    static const char* const imagePaths[ImageCount];
    static const char* const jinglePath;

    // Until a start succeeds there is nothing to show: an update hands over to the game.
    explicit Credit(ModuleContext& shell) : Module(shell) { leaveUnlessStarted(); }

    // Where draw() stamps the rope image this frame, in drawing order.
    void ropePositions(std::vector<sf::Vector2f>& positions) const;
    bool jingleOpened() const { return jingleOpen; }

    sf::Texture textures[ImageCount];
    sf::Sprite sprites[ImageCount];
    sf::Music jingle;
    int phase = End;
    int bunnyY = 0;
    int titleY = 0;
    int counter = 0;
    int dropLimit = 0;
    int riseLimit = 0;

private:
    bool onLoad() override;
    bool onStart() override;
    void onRestart() override;
    void onStop() override;
    void onEvent(const sf::Event& event) override;
    void onUpdate(int lagMicroseconds) override;
    void onDraw() override;
    // The credits are optional: without them the game itself still starts.
    void onFailedStart() override;

    int bunnyHeight() const;
    float sceneWidth() const;
    int sceneHeight() const;

    bool jingleOpen = false;
    // Reused from frame to frame.
    std::vector<sf::Vector2f> ropeStamps;
};

} // namespace vrk
