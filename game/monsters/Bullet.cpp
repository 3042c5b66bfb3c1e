#include "game/monsters/Bullet.hpp"

#include "game/Identifiers.hpp"
#include "game/Audio.hpp"
#include "game/GameContext.hpp"

#include <cmath>

namespace vrk {

namespace {
constexpr float ShotOrigin = 7.5f;
} // namespace

Bullet::Bullet(GameContext& game, sf::Vector2f place, double bearing)
    : Monster(game, place, bearing), shot(place)
{
    shotPicture.setTexture(game.texture(BulletTexture));
    shotPicture.setOrigin(ShotOrigin, ShotOrigin);
}

void Bullet::draw(sf::RenderTarget& target, sf::RenderStates states) const
{
    shotPicture.setPosition(shot - game->camera());
    shotPicture.setRotation(static_cast<float>(turned));
    target.draw(shotPicture, states);
}

bool Bullet::step()
{
    // Whole turns are dropped so the counter never grows without bound.
    turned = (turned + BulletSpinPerStep) % 360;
    const double radians = toRadians(bearing);
    shot.x = static_cast<float>(shot.x + speed * std::cos(radians));
    shot.y = static_cast<float>(shot.y + speed * std::sin(radians));
    const sf::Vector2f player = game->playerPosition();
    const double dx = static_cast<double>(player.x) - shot.x;
    const double dy = static_cast<double>(player.y) - shot.y;
    if (dx * dx + dy * dy < BulletHitDistanceSquared) {
        // The monster's own place stays where the bullet was fired: the direction it came from.
        game->hitPlayer(BulletDamage, &place);
        game->audio().play(BulletImpactSound, 1.0f);
        return true;
    }
    // Leaving the map counts as hitting a wall.
    if (blockedAt(shot.x, shot.y)) {
        game->audio().play(BulletImpactSound, 1.0f);
        return true;
    }
    return false;
}

} // namespace vrk
