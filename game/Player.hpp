#pragma once

#include "game/MapRecord.hpp"
#include "game/Tuning.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>

namespace vrk {

// What the player asks for in one step: the keys held and the pointer on the screen.
struct PlayerControls {
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
    bool run = false;
    sf::Vector2f pointer; // screen (scene texture) coordinates
};

// The player character: position, facing, life, stamina, the walk and the attack swing, and
// the sprites that show them.
class Player {
public:
    // Binds the sprites to the player sheet and the two bars.
    void setUp(const sf::Texture& sheet, const sf::Texture& lifeBar, const sf::Texture& runBar);
    // Every field back to its start value, with that much life.
    void restart(int startLife = StartLife);

    // Swing, stamina and speed, bars, keys, walls, walk animation and facing, in that order.
    // Returns the cell the player tried to enter, whose event reacts to the step.
    sf::Vector2i step(const PlayerControls& controls, const MapRecord& map, sf::Vector2f camera);
    // Starts a swing unless one is under way.
    void attack();
    void hurt(int amount) { currentLife -= amount; }
    // Life back up to the given most, never down.
    void heal(int amount, int most) { currentLife = std::max(currentLife, std::min(most, currentLife + amount)); }
    // For this many steps nothing hurts and the player blinks.
    void guardFor(int steps) { guard = steps; }
    bool guarded() const { return guard > 0; }
    int guardSteps() const { return guard; }
    // Whether a move into a wall at an angle keeps the free part of it.
    void setSliding(bool slide) { sliding = slide; }
    // Moved by offset where it is free, else as far along it as the walls allow.
    void push(sf::Vector2f offset, const MapRecord& map);
    // Hidden on this frame of the blinking after a hit.
    bool blinkedOut() const;
    void placeAt(sf::Vector2f position) { where = position; }
    void face(double angle) { facingAngle = angle; }

    sf::Vector2f position() const { return where; }
    // Radians, from the pointer to the player.
    double facing() const { return facingAngle; }
    int life() const { return currentLife; }
    bool alive() const { return currentLife > 0; }
    int stamina() const { return currentStamina; }
    int walkFrame() const { return frame; }
    bool moving() const { return isMoving; }
    int directionX() const { return horizontal; }
    int directionY() const { return vertical; }
    int attackTimer() const { return swing; }
    // Where a swing lands: toward the pointer, where the player aims.
    sf::Vector2f hitPoint() const;

    // Body (the corpse when dead), attack and legs at the player's screen position.
    void draw(sf::RenderTarget& target, sf::Vector2f camera);
    void drawBars(sf::RenderTarget& target) const;

    const sf::Sprite& body() const { return bodySprite; }
    const sf::Sprite& legs() const { return legsSprite; }
    const sf::Sprite& attackSprite() const { return swingSprite; }
    const sf::Sprite& lifeBar() const { return lifeBarSprite; }
    const sf::Sprite& runBar() const { return runBarSprite; }

private:
    // The free axis of a move into a wall: across first, then up or down.
    void slide(sf::Vector2f tried, const MapRecord& map);

    sf::Vector2f where;
    double facingAngle = 0.0;
    int currentLife = 0;
    int currentStamina = 0;
    int frame = 0;
    bool isMoving = false;
    int horizontal = 1; // 0 left key, 1 none, 2 right key
    int vertical = 1;   // 0 up key, 1 none, 2 down key
    int swing = 0;
    int speed = 0; // of the current step
    int guard = 0;
    bool sliding = false;

    sf::Sprite bodySprite;
    sf::Sprite legsSprite;
    sf::Sprite swingSprite;
    sf::Sprite lifeBarSprite;
    sf::Sprite runBarSprite;
};

} // namespace vrk
