#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Text.hpp>

#include <functional>
#include <list>
#include <string>

namespace zul {
class Tavric;
}

namespace vrk {

struct Settings;

// The key of the language document whose words, with the bound keys named in them, are these
// words; empty when none has them.
std::string keyOfWords(zul::Tavric& language, const std::string& words, const Settings& settings);

// The message log at the bottom left: at most three lines, oldest first, gone 100 steps after
// the newest was added.
class MessageLog {
public:
    // Finds the key of a line's words as it is added, and the words of a key in the language in
    // use now.
    using KeyOf = std::function<std::string(const std::string& words)>;
    using WordsOf = std::function<std::string(const std::string& key)>;

    void setFont(const sf::Font& font) { lineFont = &font; }
    void setWording(KeyOf keyOf, WordsOf wordsOf)
    {
        findKey = std::move(keyOf);
        findWords = std::move(wordsOf);
    }
    // After a change of language: every line whose key the language has takes its words (a line
    // without a key, or whose key it lacks, stays as it is).
    void reword();
    // Drops the oldest line when full; the log lives another 100 steps.
    void add(const std::string& text);
    // A line that stands while a state lasts (a defeat, a victory), asked for every step: added
    // when it is not already the newest line, and in any case kept another 100 steps.
    void keep(const std::string& text);
    // Counts down; the log empties when the count reaches exactly 0.
    void step();
    // Stops the countdown (until the next line); the lines stay.
    void resetTimer() { timer = 0; }
    void clear()
    {
        messages.clear();
        keys.clear();
    }
    // Oldest lowest, upward from `bottom` (the scene's, or above the conversation's box).
    void draw(sf::RenderTarget& target, unsigned bottom);

    const std::list<sf::Text>& lines() const { return messages; }
    std::size_t size() const { return messages.size(); }
    int stepsLeft() const { return timer; }

private:
    const sf::Font* lineFont = nullptr;
    std::list<sf::Text> messages;
    // By line, the key its words came from.
    std::list<std::string> keys;
    KeyOf findKey;
    WordsOf findWords;
    int timer = 0;
};

} // namespace vrk
