#pragma once

#include "game/Tuning.hpp"
#include "game/monsters/Monster.hpp"

namespace vrk {

// A hunter's shot: flies straight until it reaches the player, a blocked cell or the map's edge.
class Bullet : public Monster {
public:
    // `heading` in degrees (0 along +x, 90 down the screen), as the hunter's that fires it. The
    // shooter, when given, outlives the bullet (both belong to the same map).
    Bullet(GameContext& game, sf::Vector2f position, double heading, const Monster* shooter = nullptr);

    // The first rules' small spinning shot, or on the easier rules a larger, brighter one with
    // a short fading trail behind it.
    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;
    // The readable look batches (a frame may hold hundreds of shots); the first rules' does not.
    bool batch(sf::VertexArray& triangles, const sf::Texture*& texture) const override;
    // Flies on and spins 10 degrees.
    bool step() override;
    void alert() override {}

    // Where the shot is now; the monster's own position stays where it was fired.
    sf::Vector2f shotPosition() const { return shot; }
    // Degrees turned, below a whole turn.
    int spin() const { return turned; }
    const Monster* shooter() const { return firedBy; }
    const sf::Sprite& shotSprite() const { return shotPicture; }

private:
    sf::Vector2f shot;
    double speed = BulletSpeed;
    int turned = 0;
    const Monster* firedBy;
    mutable sf::Sprite shotPicture;
};

} // namespace vrk
