#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Text.hpp>

#include <list>
#include <string>

namespace vrk {

// The message log at the bottom left: at most three lines, oldest first, gone 100 steps after
// the newest was added.
class MessageLog {
public:
    void setFont(const sf::Font& font) { lineFont = &font; }
    // Drops the oldest line when full; the log lives another 100 steps.
    void add(const std::string& text);
    // A line that stands while a state lasts (a defeat, a victory), asked for every step: added
    // when it is not already the newest line, and in any case kept another 100 steps.
    void keep(const std::string& text);
    // Counts down; the log empties when the count reaches exactly 0.
    void step();
    // Stops the countdown (until the next line); the lines stay.
    void resetTimer() { timer = 0; }
    void clear() { messages.clear(); }
    // Oldest lowest, from the bottom of a scene of the given height.
    void draw(sf::RenderTarget& target, unsigned sceneHeight);

    const std::list<sf::Text>& lines() const { return messages; }
    std::size_t size() const { return messages.size(); }
    int stepsLeft() const { return timer; }

private:
    const sf::Font* lineFont = nullptr;
    std::list<sf::Text> messages;
    int timer = 0;
};

} // namespace vrk
