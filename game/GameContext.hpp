#pragma once

#include "game/LogTexts.hpp"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Vector2.hpp>

#include <memory>
#include <string>

namespace vrk {

class Audio;
class Events;
class Hunter;
class Monster;
class TaskList;
struct DifficultyRules;
struct MapRecord;
struct Settings;

// What the game's parts (monsters, event handlers, timed tasks and dialogue actions) see of the
// game that runs them, and all they may change in it. The in-game module answers.
class GameContext {
public:
    // ---- the player ----
    virtual sf::Vector2f playerPosition() const = 0;
    virtual bool playerAlive() const = 0;
    // Turns the player to an angle in radians (the light's facing).
    virtual void facePlayer(double angle) = 0;
    // The player loses life, from a place (a hunter, where a bullet was fired) or none, and by
    // the hunter that hurt (itself or its bullet's shooter) when there is one.
    virtual void hitPlayer(int amount, const sf::Vector2f* source, const Monster* shooter = nullptr) = 0;

    // ---- the played map ----
    virtual MapRecord& map() = 0;
    virtual const MapRecord& map() const = 0;
    // Scene position of the view's top-left corner.
    virtual sf::Vector2f camera() const = 0;
    virtual void addBullet(std::unique_ptr<Monster> bullet) = 0;
    // A door has finished opening (the rules may keep a checkpoint).
    virtual void doorOpened(int column, int row) = 0;
    // The sparks over the map.
    virtual Events& events() = 0;
    virtual TaskList& tasks() = 0;

    // ---- the hunters' rules ----
    // The rules of the difficulty in use.
    virtual const DifficultyRules& rules() const = 0;
    // Steps between two shots, by the difficulty in use.
    virtual int hunterFireInterval() const = 0;
    // A hunter within touching distance.
    virtual void hunterTouch(const Hunter& hunter) = 0;
    // Whether a hunter at this place may spot the player and fire.
    virtual bool hunterMaySee(sf::Vector2f hunter) const = 0;
    // A hunter sees the player.
    virtual void inCombat() = 0;
    // A hunter that was not chasing has just seen the player.
    virtual void hunterSpotted(const Monster& hunter) = 0;

    // ---- words, sounds and pictures ----
    virtual void addMessage(const std::string& text) = 0;
    // A key's words from the language document, in the played map's own wording when it has one.
    virtual void addText(const char* key) = 0;
    virtual std::string logText(const LogText& text) const = 0;
    // Empty when the language document lacks the key.
    virtual std::string languageText(const std::string& key) const = 0;
    virtual Audio& audio() = 0;
    virtual const sf::Texture& texture(int id) const = 0;
    virtual sf::Sprite& sprite(int id) = 0;

    // ---- the conversation ----
    virtual void startDialogue(int script) = 0;
    // The pointer's cursor (the talk cursor while a conversation runs).
    virtual int cursor() const = 0;
    virtual void setCursor(int cursor) = 0;
    // The bound keys, for the lines that name them.
    virtual const Settings& settings() const = 0;

protected:
    ~GameContext() = default;
};

} // namespace vrk
