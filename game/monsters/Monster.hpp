#pragma once

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/System/Vector2.hpp>

namespace vrk {

class GameContext;

namespace testing {
struct MonsterProbe;
}

// Size of one animation animation of a monster sheet; sprites turn about its centre.
constexpr int MonsterFrameSize = 120;

// Anything hostile that lives in a map record and moves on its own: hunters and their bullets.
class Monster : public sf::Drawable {
public:
    // `heading` in degrees, for hunters and bullets alike: 0 along +x, 90 down the screen.
    Monster(GameContext& game, sf::Vector2f position, double heading);
    ~Monster() override = default;

    // Overlay frame then body, or the corpse alone once dead; nothing when it lies farther
    // than its frame's size beyond the view.
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;
    // Appends its picture as textured triangles (screen coordinates) to a batch drawn at once
    // with `texture`, and returns true; false when it must be drawn on its own.
    virtual bool batch(sf::VertexArray&, const sf::Texture*&) const { return false; }
    // One fixed step of behaviour; true when the monster is finished and must be removed.
    virtual bool step() = 0;
    // Starts a chase toward the player's current position.
    virtual void alert() = 0;

    // Life never drops below 0.
    void damage(int amount);
    void setTexture(const sf::Texture& texture);

    // True when the cell under a scene position is a wall or a closed door, or lies off the map.
    bool blockedAt(double x, double y) const;

    // Moved by the rules rather than by its own step (pushed out of the player).
    void placeAt(sf::Vector2f position) { place = position; }
    sf::Vector2f position() const { return place; }
    double heading() const { return bearing; }
    int life() const { return health; }
    // The overlay's animation frame.
    int frame() const { return animation; }
    // The pictures as drawn last.
    const sf::Sprite& bodySprite() const { return body; }
    const sf::Sprite& overlaySprite() const { return overlay; }

protected:
    GameContext* game;
    sf::Vector2f place;
    double bearing;
    int health = 0;
    int animation = 0;

private:
    friend struct testing::MonsterProbe;

    // Drawing keeps the last rotation: a corpse lies the way the hunter faced when it fell.
    mutable sf::Sprite body;
    mutable sf::Sprite overlay;
};

} // namespace vrk
