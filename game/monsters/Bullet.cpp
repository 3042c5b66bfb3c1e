#include "game/monsters/Bullet.hpp"

#include "game/Identifiers.hpp"
#include "game/Audio.hpp"
#include "game/GameContext.hpp"

#include <cmath>

namespace vrk {

namespace {
constexpr float ShotOrigin = 7.5f;
} // namespace

Bullet::Bullet(GameContext& game, sf::Vector2f position, double heading)
    : Monster(game, position, heading), shotPosition(position)
{
    shotSprite.setTexture(game.texture(BulletTexture));
    shotSprite.setOrigin(ShotOrigin, ShotOrigin);
}

void Bullet::draw(sf::RenderTarget& target, sf::RenderStates states) const
{
    shotSprite.setPosition(shotPosition - game->camera());
    shotSprite.setRotation(static_cast<float>(spin));
    target.draw(shotSprite, states);
}

bool Bullet::step()
{
    // Whole turns are dropped so the counter never grows without bound.
    spin = (spin + BulletSpinPerStep) % 360;
    const double radians = toRadians(heading);
    shotPosition.x = static_cast<float>(shotPosition.x + speed * std::cos(radians));
    shotPosition.y = static_cast<float>(shotPosition.y + speed * std::sin(radians));
    const sf::Vector2f player = game->playerPosition();
    const double dx = static_cast<double>(player.x) - shotPosition.x;
    const double dy = static_cast<double>(player.y) - shotPosition.y;
    if (dx * dx + dy * dy < BulletHitDistanceSquared) {
        // Monster::position stays where the bullet was fired: the direction it came from.
        game->hitPlayer(BulletDamage, &position);
        game->audio().play(BulletImpactSound, 1.0f);
        return true;
    }
    // Leaving the map counts as hitting a wall.
    if (blockedAt(shotPosition.x, shotPosition.y)) {
        game->audio().play(BulletImpactSound, 1.0f);
        return true;
    }
    return false;
}

} // namespace vrk
