#pragma once

#include "game/monsters/Hunter.hpp"

namespace vrk {

// A hunter that patrols back and forth along x until it sees the player.
class HunterH : public Hunter {
public:
    HunterH(Program* program, Ingame* game, sf::Vector2f position, double heading);

    bool step() override;
};

} // namespace vrk
