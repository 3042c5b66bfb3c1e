#include "game/monsters/HunterH.hpp"

namespace vrk {

HunterH::HunterH(Program* program, Ingame* game, sf::Vector2f position, double heading)
    : Hunter(program, game, position, heading)
{
}

bool HunterH::step()
{
    static const sf::Vector2f moves[2] = {{HunterPatrolSpeed, 0.0f}, {-HunterPatrolSpeed, 0.0f}};
    return patrolStep(moves, 2);
}

} // namespace vrk
