#pragma once

#include "game/monsters/Hunter.hpp"

namespace vrk {

// A hunter that patrols round a rectangle (down, left, up, right) until it sees the player.
class HunterSquare : public Hunter {
public:
    HunterSquare(Program* program, Ingame* game, sf::Vector2f position, double heading);

    bool step() override;
};

} // namespace vrk
