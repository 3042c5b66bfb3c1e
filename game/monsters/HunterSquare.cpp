#include "game/monsters/HunterSquare.hpp"

#include <cmath>

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
    if (!chasing) {
        // The direction is only ever 0..3; anything else would index outside the table.
        int d = static_cast<int>(patrolDirection);
        if (d < 0 || d > 3)
            d = 0;
        if (!patrolTo(position + SquareMoves[d])) {
            patrolDirection = (d + 1) % 4;
            heading = std::fmod(heading + 90.0, 360.0);
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
