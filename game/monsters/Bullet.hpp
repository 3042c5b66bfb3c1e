#pragma once

#include "game/Tuning.hpp"
#include "game/monsters/Monster.hpp"

namespace vrk {

// A hunter's shot: flies straight until it reaches the player, a blocked cell or the map's edge.
class Bullet : public Monster {
public:
    // `heading` in degrees (0 along +x, 90 down the screen), as the hunter's that fires it.
    Bullet(GameContext& game, sf::Vector2f position, double heading);

    void draw(sf::RenderTarget& target, sf::RenderStates states) const override;
    // Flies on and spins 10 degrees.
    bool step() override;
    void alert() override {}

    sf::Vector2f shotPosition;
    double speed = BulletSpeed;
    mutable sf::Sprite shotSprite;
    int spin = 0;
};

} // namespace vrk
