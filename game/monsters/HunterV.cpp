#include "game/monsters/HunterV.hpp"

namespace vrk {

HunterV::HunterV(Program* program, Ingame* game, sf::Vector2f position, double heading)
    : Hunter(program, game, position, heading)
{
}

bool HunterV::step()
{
    static const sf::Vector2f moves[2] = {{0.0f, HunterPatrolSpeed}, {0.0f, -HunterPatrolSpeed}};
    return patrolStep(moves, 2);
}

} // namespace vrk
