#pragma once

#include "game/Tuning.hpp"
#include "game/monsters/Monster.hpp"

namespace vrk {

// How a hunter spends its time before it sees the player: turning on the spot, or patrolling
// back and forth along x or y, or round a rectangle. Every kind shares the eyes, the chase and
// the gun; the kinds differ only in their row of the table of moves (Hunter.cpp).
// In the order of their map codes, from HunterCode on.
enum class HunterKind { Turning, Horizontal, Vertical, Square };

// The kind a code of the monster layer creates; false for a code that creates nothing.
bool hunterKindOfCode(long long code, HunterKind& kind);

class Hunter : public Monster {
public:
    // `heading` in degrees, as every heading of the game.
    Hunter(GameContext& game, sf::Vector2f position, double heading, HunterKind kind = HunterKind::Turning);

    bool step() override;
    void alert() override;

    HunterKind kind() const { return hunterKind; }
    bool chasing() const { return hunting; }
    // Where a chase runs: the player's position when last seen.
    sf::Vector2f target() const { return goal; }
    // Steps left before the next shot while the player stays in sight.
    int fireTimer() const { return shotTimer; }
    // Index into a patroller's moves.
    double patrolDirection() const { return patrolIndex; }

    // The look: sight test, then chase renewal and the gun when the player is seen.
    // True when the player was seen.
    bool look();
    // Distance, field of view and line of sight, without side effects.
    bool canSee(sf::Vector2f point) const;

private:
    // Runs to the target, hurting the player on arrival.
    void chaseMove();
    // The player within reach of a touch: closer than 10, or by the gap the rules keep between bodies.
    bool touching() const;
    // The player closer than 10 is touched (see Ingame::hunterTouch) and the hunter calms down;
    // true when that happened.
    bool touchPlayer();
    // One patrol step toward `tried`; false (and no move) when its cell is blocked.
    bool patrolTo(sf::Vector2f tried);
    // Walks moves[direction] until blocked, then takes the next move and turns by a full turn
    // divided among the moves.
    void patrol(const sf::Vector2f* moves, int count);

    friend struct testing::MonsterProbe;

    HunterKind hunterKind;
    sf::Vector2f goal;
    bool hunting = false;
    int shotTimer = HunterFireInterval;
    double patrolIndex = 0.0;
};

} // namespace vrk
