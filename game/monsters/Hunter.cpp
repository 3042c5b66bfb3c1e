#include "game/monsters/Hunter.hpp"

#include "game/Identifiers.hpp"
#include "game/Audio.hpp"
#include "game/GameContext.hpp"
#include "game/MapRecord.hpp"
#include "game/monsters/Bullet.hpp"

#include <cmath>

namespace vrk {

namespace {
// Positions are floats: a player placed exactly at the edge of the field of view can come out
// a few millionths of a degree beyond it.
constexpr double FieldOfViewTolerance = 1e-4;
// Sight samples start half a unit into the cell so that a point on a cell border is tested
// on the side the rest of the line lies.
constexpr double SightSampleOffset = 0.5;

// The moves of each kind, in the order of HunterKind; a kind without moves turns on the spot.
struct PatrolMoves {
    int count;
    sf::Vector2f moves[4];
};
const PatrolMoves KindMoves[] = {
    {0, {}},
    {2, {{HunterPatrolSpeed, 0.0f}, {-HunterPatrolSpeed, 0.0f}}},
    {2, {{0.0f, HunterPatrolSpeed}, {0.0f, -HunterPatrolSpeed}}},
    // Down, left, up, right: each blocked step turns the hunter a quarter clockwise on screen.
    {4, {{0.0f, HunterPatrolSpeed}, {-HunterPatrolSpeed, 0.0f}, {0.0f, -HunterPatrolSpeed}, {HunterPatrolSpeed, 0.0f}}},
};

double squaredDistance(sf::Vector2f a, sf::Vector2f b)
{
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    return dx * dx + dy * dy;
}
} // namespace

bool hunterKindOfCode(long long code, HunterKind& kind)
{
    if (code < HunterCode || code > HunterSquareCode)
        return false;
    kind = static_cast<HunterKind>(code - HunterCode);
    return true;
}

Hunter::Hunter(GameContext& game, sf::Vector2f place, double bearing, HunterKind kind)
    : Monster(game, place, bearing), hunterKind(kind)
{
    health = HunterLife;
    shotTimer = game.hunterFireInterval();
    setTexture(game.texture(HunterTexture));
}

bool Hunter::step()
{
    const PatrolMoves& row = KindMoves[static_cast<int>(hunterKind)];
    // Patrollers keep walking after the player's death; only the turning hunter rests.
    if (row.count == 0 && !game->playerAlive())
        return false;
    if (!hunting) {
        if (row.count == 0)
            bearing = std::fmod(bearing + HunterTurnSpeed, 360.0);
        else
            patrol(row.moves, row.count);
        if (touchPlayer())
            return false;
    } else {
        chaseMove();
    }
    look();
    return false;
}

void Hunter::alert()
{
    hunting = true;
    goal = game->playerPosition();
}

bool Hunter::touching() const
{
    const double reach = touchReach(game->rules());
    return squaredDistance(game->playerPosition(), place) < reach * reach;
}

bool Hunter::touchPlayer()
{
    if (!touching())
        return false;
    game->hunterTouch(*this);
    hunting = false;
    return true;
}

bool Hunter::patrolTo(sf::Vector2f tried)
{
    animation = (animation + 1) % 6;
    if (blockedAt(tried.x, tried.y))
        return false;
    place = tried;
    return true;
}

void Hunter::patrol(const sf::Vector2f* moves, int count)
{
    // The direction is only ever below count; anything else would index outside the table.
    int d = static_cast<int>(patrolIndex);
    if (d < 0 || d >= count)
        d = 0;
    if (!patrolTo(place + moves[d])) {
        patrolIndex = (d + 1) % count;
        bearing = std::fmod(bearing + 360.0 / count, 360.0);
    }
}

void Hunter::chaseMove()
{
    // Where the player was last seen, or (bodies kept apart) at the player's side.
    const bool arrived = squaredDistance(goal, place) < HunterTouchDistanceSquared;
    if (arrived || (game->rules().bodyGap > 0.f && touching())) {
        // It hurts only a player still within reach.
        if (touching())
            game->hunterTouch(*this);
        hunting = false;
        return;
    }
    const double radians = toRadians(bearing);
    const sf::Vector2f tried(static_cast<float>(place.x + HunterChaseSpeed * std::cos(radians)),
                             static_cast<float>(place.y + HunterChaseSpeed * std::sin(radians)));
    animation = (animation + 1) % 6;
    if (!blockedAt(tried.x, tried.y))
        place = tried;
}

bool Hunter::canSee(sf::Vector2f point) const
{
    const double dx = static_cast<double>(point.x) - place.x;
    const double dy = static_cast<double>(point.y) - place.y;
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (distance >= HunterSightDistance)
        return false;

    const double radians = toRadians(bearing);
    const double fx = HunterSightDistance * std::cos(radians);
    const double fy = HunterSightDistance * std::sin(radians);
    const double angle = toDegrees(std::atan2(fy * dx - dy * fx, dy * fy + dx * fx));
    if (std::fabs(angle) > HunterHalfFieldOfView + FieldOfViewTolerance)
        return false;

    // Sampled line: one test per unit along the longer axis, both ends included.
    const int n = static_cast<int>(std::max(std::fabs(std::trunc(dx)), std::fabs(std::trunc(dy))));
    double x = place.x + SightSampleOffset;
    double y = place.y + SightSampleOffset;
    if (blockedAt(x, y))
        return false;
    for (int i = 0; i < n; ++i) {
        x += dx / n;
        y += dy / n;
        if (blockedAt(x, y))
            return false;
    }
    return true;
}

bool Hunter::look()
{
    const sf::Vector2f player = game->playerPosition();
    if (!canSee(player) || !game->hunterMaySee(place))
        return false;
    game->inCombat();

    goal = player;
    if (!hunting)
        game->hunterSpotted(*this);
    hunting = true;
    const double dx = static_cast<double>(player.x) - place.x;
    const double dy = static_cast<double>(player.y) - place.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (dx < 0.0 && std::trunc(dy) == 0.0)
        bearing = -180.0;
    else if (length + dx > 0.0)
        bearing = toDegrees(2.0 * std::atan(dy / (length + dx)));
    // Standing exactly on the player gives no direction: the heading is kept.

    --shotTimer;
    if (shotTimer == 0 && game->playerAlive()) {
        game->audio().play(HunterFireSound, 1.0f);
        game->addBullet(std::make_unique<Bullet>(*game, place, bearing, this));
        shotTimer = game->hunterFireInterval();
    }
    return true;
}

} // namespace vrk
