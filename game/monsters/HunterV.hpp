#pragma once

#include "game/monsters/Hunter.hpp"

namespace vrk {

// A hunter that patrols back and forth along y until it sees the player.
class HunterV : public Hunter {
public:
    HunterV(Program* program, Ingame* game, sf::Vector2f position, double heading);

    bool step() override;
};

} // namespace vrk
