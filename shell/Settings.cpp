#include "shell/Settings.hpp"

#include <algorithm>
#include <iterator>
#include <ostream>

namespace vrk {

namespace {

constexpr int publicUser = zul::publicUser;
constexpr int IntType = 2;
constexpr int VolumeStep = 10;

struct NamedKey {
    sf::Keyboard::Key key;
    const char* name;
};

// SFML's own names for the keys, which are the names players write in the user data.
const NamedKey namedKeys[] = {
    {sf::Keyboard::A, "A"},
    {sf::Keyboard::B, "B"},
    {sf::Keyboard::C, "C"},
    {sf::Keyboard::D, "D"},
    {sf::Keyboard::E, "E"},
    {sf::Keyboard::F, "F"},
    {sf::Keyboard::G, "G"},
    {sf::Keyboard::H, "H"},
    {sf::Keyboard::I, "I"},
    {sf::Keyboard::J, "J"},
    {sf::Keyboard::K, "K"},
    {sf::Keyboard::L, "L"},
    {sf::Keyboard::M, "M"},
    {sf::Keyboard::N, "N"},
    {sf::Keyboard::O, "O"},
    {sf::Keyboard::P, "P"},
    {sf::Keyboard::Q, "Q"},
    {sf::Keyboard::R, "R"},
    {sf::Keyboard::S, "S"},
    {sf::Keyboard::T, "T"},
    {sf::Keyboard::U, "U"},
    {sf::Keyboard::V, "V"},
    {sf::Keyboard::W, "W"},
    {sf::Keyboard::X, "X"},
    {sf::Keyboard::Y, "Y"},
    {sf::Keyboard::Z, "Z"},
    {sf::Keyboard::Num0, "Num0"},
    {sf::Keyboard::Num1, "Num1"},
    {sf::Keyboard::Num2, "Num2"},
    {sf::Keyboard::Num3, "Num3"},
    {sf::Keyboard::Num4, "Num4"},
    {sf::Keyboard::Num5, "Num5"},
    {sf::Keyboard::Num6, "Num6"},
    {sf::Keyboard::Num7, "Num7"},
    {sf::Keyboard::Num8, "Num8"},
    {sf::Keyboard::Num9, "Num9"},
    {sf::Keyboard::LControl, "LControl"},
    {sf::Keyboard::LShift, "LShift"},
    {sf::Keyboard::LAlt, "LAlt"},
    {sf::Keyboard::RControl, "RControl"},
    {sf::Keyboard::RShift, "RShift"},
    {sf::Keyboard::RAlt, "RAlt"},
    {sf::Keyboard::Space, "Space"},
    {sf::Keyboard::Tab, "Tab"},
    {sf::Keyboard::Return, "Return"},
    {sf::Keyboard::Left, "Left"},
    {sf::Keyboard::Right, "Right"},
    {sf::Keyboard::Up, "Up"},
    {sf::Keyboard::Down, "Down"},
    {sf::Keyboard::Numpad0, "Numpad0"},
    {sf::Keyboard::Numpad1, "Numpad1"},
    {sf::Keyboard::Numpad2, "Numpad2"},
    {sf::Keyboard::Numpad3, "Numpad3"},
    {sf::Keyboard::Numpad4, "Numpad4"},
    {sf::Keyboard::Numpad5, "Numpad5"},
    {sf::Keyboard::Numpad6, "Numpad6"},
    {sf::Keyboard::Numpad7, "Numpad7"},
    {sf::Keyboard::Numpad8, "Numpad8"},
    {sf::Keyboard::Numpad9, "Numpad9"},
    {sf::Keyboard::Comma, "Comma"},
    {sf::Keyboard::Period, "Period"},
    {sf::Keyboard::Semicolon, "Semicolon"},
    {sf::Keyboard::Slash, "Slash"},
};

const char* const actionNames[ActionCount] = {"Up", "Down", "Left", "Right", "Run", "Pause", "Map", "Use"};

const sf::Keyboard::Key qwertyKeys[ActionCount] = {sf::Keyboard::W,      sf::Keyboard::S, sf::Keyboard::A,
                                                   sf::Keyboard::D,      sf::Keyboard::LShift,
                                                   sf::Keyboard::P,      sf::Keyboard::M,      sf::Keyboard::E};
const sf::Keyboard::Key azertyKeys[ActionCount] = {sf::Keyboard::Z,      sf::Keyboard::S, sf::Keyboard::Q,
                                                   sf::Keyboard::D,      sf::Keyboard::LShift,
                                                   sf::Keyboard::P,      sf::Keyboard::M,      sf::Keyboard::E};

// The whole numbers kept under "Settings": one line here for each, with its limits.
struct IntSetting {
    const char* name;
    int Settings::*value;
    int low;
    int high;
};
const IntSetting intSettings[] = {
    {"MusicVolume", &Settings::musicVolume, 0, 100},       {"EffectsVolume", &Settings::effectsVolume, 0, 100},
    {"Fullscreen", &Settings::fullscreen, 0, 1},           {"WindowWidth", &Settings::windowWidth, MinWindowWidth, 16384},
    {"WindowHeight", &Settings::windowHeight, MinWindowHeight, 16384},
};

const char* const difficultyNames[] = {"easy", "normal", "classic"};
const char* const DifficultyField = "Difficulty";

} // namespace

const char* difficultyName(Difficulty difficulty)
{
    return difficultyNames[static_cast<int>(difficulty)];
}

bool difficultyFromName(const std::string& name, Difficulty& difficulty)
{
    for (int i = 0; i < static_cast<int>(std::size(difficultyNames)); ++i)
        if (name == difficultyNames[i]) {
            difficulty = static_cast<Difficulty>(i);
            return true;
        }
    return false;
}

const char* keyName(sf::Keyboard::Key key)
{
    for (const NamedKey& named : namedKeys)
        if (named.key == key)
            return named.name;
    return nullptr;
}

bool keyFromName(const std::string& name, sf::Keyboard::Key& key)
{
    for (const NamedKey& named : namedKeys)
        if (name == named.name) {
            key = named.key;
            return true;
        }
    return false;
}

const char* actionName(Action action)
{
    return actionNames[static_cast<int>(action)];
}

Settings::Settings()
{
    std::copy(std::begin(qwertyKeys), std::end(qwertyKeys), keys);
}

int Settings::stepVolume(int volume, int direction)
{
    return std::clamp(volume + (direction < 0 ? -VolumeStep : VolumeStep), 0, 100);
}

void Settings::read(const zul::Tavric& document, std::ostream& errors)
{
    if (document.exists("Settings")) {
        const zul::Tavric& section = document.child("Settings", publicUser);
        for (const IntSetting& setting : intSettings) {
            if (!section.exists(setting.name))
                continue;
            const zul::Tavric& field = section.child(setting.name, publicUser);
            const int64_t value = field.getInt(publicUser);
            if (field.getType() != IntType || value < setting.low || value > setting.high) {
                errors << "Ignoring Settings." << setting.name << " in the user data: expected a whole number from "
                       << setting.low << " to " << setting.high << "; keeping " << this->*setting.value << "."
                       << std::endl;
                continue;
            }
            this->*setting.value = static_cast<int>(value);
        }
        // Volumes move in steps of 10; a hand-edited 45 becomes 40.
        musicVolume -= musicVolume % VolumeStep;
        effectsVolume -= effectsVolume % VolumeStep;
        if (section.exists(DifficultyField)) {
            const std::string name = section.child(DifficultyField, publicUser).getString(publicUser);
            if (!difficultyFromName(name, difficulty))
                errors << "Ignoring Settings.Difficulty = \"" << name
                       << "\" in the user data: expected easy, normal or classic; keeping "
                       << difficultyName(difficulty) << "." << std::endl;
        }
    }
    if (document.exists("Keys")) {
        const zul::Tavric& section = document.child("Keys", publicUser);
        for (int i = 0; i < ActionCount; ++i) {
            if (!section.exists(actionNames[i]))
                continue;
            const std::string name = section.child(actionNames[i], publicUser).getString(publicUser);
            if (!keyFromName(name, keys[i]))
                errors << "Ignoring Keys." << actionNames[i] << " = \"" << name
                       << "\" in the user data: no such key; keeping " << keyName(keys[i]) << "." << std::endl;
        }
    }
}

void Settings::write(zul::Tavric& document) const
{
    zul::Tavric& section = document.child("Settings", publicUser);
    for (const IntSetting& setting : intSettings) {
        section.removeChild(setting.name);
        section.child(setting.name, publicUser).setInt(this->*setting.value, publicUser);
    }
    section.removeChild(DifficultyField);
    section.child(DifficultyField, publicUser).setString(difficultyName(difficulty), publicUser);
    zul::Tavric& bindings = document.child("Keys", publicUser);
    for (int i = 0; i < ActionCount; ++i) {
        // A string replaces whatever type the entry had (a damaged one may have been a number).
        bindings.removeChild(actionNames[i]);
        bindings.child(actionNames[i], publicUser).setString(keyName(keys[i]), publicUser);
    }
}

bool Settings::applyKeyPreset(const std::string& name)
{
    const sf::Keyboard::Key* preset = name == "qwerty" ? qwertyKeys : name == "azerty" ? azertyKeys : nullptr;
    if (!preset)
        return false;
    // A preset is a keyboard's layout: it moves the walking keys and nothing the player chose
    // for the other actions. An action that held a walking key's new key takes its old one.
    for (const Action walk : {Action::Up, Action::Down, Action::Left, Action::Right}) {
        const int index = static_cast<int>(walk);
        for (sf::Keyboard::Key& other : keys)
            if (&other != &keys[index] && other == preset[index])
                other = keys[index];
        keys[index] = preset[index];
    }
    return true;
}

} // namespace vrk
