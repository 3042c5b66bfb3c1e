#include "game/monsters/HunterSquare.hpp"

namespace vrk {

namespace {
// Down, left, up, right: each blocked step turns the hunter a quarter clockwise on screen.
const sf::Vector2f SquareMoves[4] = {
    {0.0f, HunterPatrolSpeed}, {-HunterPatrolSpeed, 0.0f}, {0.0f, -HunterPatrolSpeed}, {HunterPatrolSpeed, 0.0f}};
} // namespace

HunterSquare::HunterSquare(Program* program, Ingame* game, sf::Vector2f position, double heading)
    : Hunter(program, game, position, heading)
{
}

bool HunterSquare::step()
{
    return patrolStep(SquareMoves, 4);
}

} // namespace vrk
