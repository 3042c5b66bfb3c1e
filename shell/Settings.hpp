#pragma once

#include "tavric/model/Tavric.hpp"

#include <SFML/Window/Keyboard.hpp>

#include <iosfwd>
#include <string>

namespace vrk {

// The actions a player can bind to a key of their own. The arrow keys and right Control keep
// working beside the bound keys, as before bindings existed.
// Use works the panel or cabinet under the pointer, as a left click does.
enum class Action { Up, Down, Left, Right, Run, Pause, Map, Use };
constexpr int ActionCount = 8;

// A key's name in the user data ("W", "LShift", "Num4"), or null for a key without one.
const char* keyName(sf::Keyboard::Key key);
// False (key untouched) for a name that names no key.
bool keyFromName(const std::string& name, sf::Keyboard::Key& key);
const char* actionName(Action action);

// How hard the game is; classic keeps the game's first rules. The order indexes the game's
// table of rules.
enum class Difficulty { Easy, Normal, Classic };
// "easy", "normal", "classic".
const char* difficultyName(Difficulty difficulty);
// False (difficulty untouched) for a name that names none.
bool difficultyFromName(const std::string& name, Difficulty& difficulty);

// The smallest window the user data keeps.
constexpr int MinWindowWidth = 320;
constexpr int MinWindowHeight = 180;

// What the player chose and the game keeps in the user data between runs: the volumes, the
// window, the key bindings. Every value has a default, so a missing or damaged entry costs only
// itself.
struct Settings {
    Settings();

    // Volumes in percent of the game's full loudness, 0 to 100 in steps of 10.
    int musicVolume = 100;
    int effectsVolume = 100;
    int fullscreen = 1;
    int windowWidth = 1280;
    int windowHeight = 720;
    sf::Keyboard::Key keys[ActionCount];
    Difficulty difficulty = Difficulty::Normal;

    sf::Keyboard::Key key(Action action) const { return keys[static_cast<int>(action)]; }
    void bind(Action action, sf::Keyboard::Key key) { keys[static_cast<int>(action)] = key; }

    // Reads "Settings" (with the difficulty as a name) and "Keys" of a user document. Entries that are absent keep
    // their value; damaged ones keep it too and are reported, one line each, on `errors`.
    void read(const zul::Tavric& document, std::ostream& errors);
    // Writes every value into the document, replacing what was there.
    void write(zul::Tavric& document) const;
    // The walking keys of a named preset ("qwerty", W A S D, or "azerty", Z Q S D); the other
    // bindings stay, except one on a key the preset takes, which gets the walking key it
    // replaces. False (nothing changed) for an unknown name.
    bool applyKeyPreset(const std::string& name);

    // One step of 10 up or down, kept within 0 to 100.
    static int stepVolume(int volume, int direction);
};

} // namespace vrk
