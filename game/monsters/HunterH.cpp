#include "game/monsters/HunterH.hpp"

#include <cmath>

namespace vrk {

HunterH::HunterH(Program* program, Ingame* game, sf::Vector2f position, double heading)
    : Hunter(program, game, position, heading)
{
}

// Patrollers keep walking after the player's death; only the turning hunter rests.
bool HunterH::step()
{
    if (!chasing) {
        sf::Vector2f tried = position;
        tried.x += patrolDirection == 0.0 ? HunterPatrolSpeed : -HunterPatrolSpeed;
        if (!patrolTo(tried)) {
            patrolDirection = patrolDirection == 0.0 ? 1.0 : 0.0;
            heading = std::fmod(heading + 180.0, 360.0);
        }
        if (touchPlayer())
            return false;
    } else {
        chaseMove();
    }
    look();
    return false;
}

} // namespace vrk
