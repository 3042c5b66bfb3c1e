#pragma once

#include "game/Tuning.hpp"
#include "game/monsters/Monster.hpp"

namespace vrk {

// A hunter that watches by turning on the spot; the base of the patrolling kinds, which share
// its eyes, its chase and its gun.
class Hunter : public Monster {
public:
    Hunter(Program* program, Ingame* game, sf::Vector2f position, double heading);

    bool step() override;
    void alert() override;

    sf::Vector2f target;
    bool chasing = false;
    int fireTimer = HunterFireInterval;
    // Index into a patroller's moves.
    double patrolDirection = 0.0;

    // The look: sight test, then chase renewal and the gun when the player is seen.
    // True when the player was seen.
    bool look();
    // Distance, field of view and line of sight, without side effects.
    bool canSee(sf::Vector2f point) const;

protected:
    // Runs to target, hurting the player on arrival.
    void chaseMove();
    // The player closer than 10 is touched (see Ingame::hunterTouch) and the hunter calms down;
    // true when that happened.
    bool touchPlayer();
    // One patrol step toward `tried`; false (and no move) when its cell is blocked.
    bool patrolTo(sf::Vector2f tried);
    // The whole step of a patroller: walk moves[direction] until blocked, then take the next
    // move and turn by a full turn divided among the moves; chase instead once alerted.
    // Patrollers keep walking after the player's death; only the turning hunter rests.
    bool patrolStep(const sf::Vector2f* moves, int count);
};

} // namespace vrk
