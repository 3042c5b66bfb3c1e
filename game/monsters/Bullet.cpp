#include "game/monsters/Bullet.hpp"

#include "game/Identifiers.hpp"
#include "game/Audio.hpp"
#include "game/GameContext.hpp"

#include <cmath>

namespace vrk {

namespace {
// The picture holds the first rules' shot (15 x 15) and beside it the readable one (32 x 32).
const sf::IntRect SmallShot(0, 0, 15, 15);
const sf::IntRect BrightShot(15, 0, 32, 32);
// The trail: this many fading copies behind the shot, this far apart, never behind the muzzle.
constexpr int TrailCopies = 3;
constexpr float TrailSpacing = 14.f;
} // namespace

Bullet::Bullet(GameContext& game, sf::Vector2f place, double bearing, const Monster* shooter)
    : Monster(game, place, bearing), shot(place), firedBy(shooter)
{
    shotPicture.setTexture(game.texture(BulletTexture));
}

void Bullet::draw(sf::RenderTarget& target, sf::RenderStates states) const
{
    const sf::Vector2f screen = shot - game->camera();
    shotPicture.setRotation(static_cast<float>(turned));
    if (!game->rules().readableThreats) {
        shotPicture.setTextureRect(SmallShot);
        shotPicture.setOrigin(SmallShot.width / 2.f, SmallShot.height / 2.f);
        shotPicture.setPosition(screen);
        shotPicture.setScale(1.f, 1.f);
        shotPicture.setColor(sf::Color::White);
        target.draw(shotPicture, states);
        return;
    }
    shotPicture.setTextureRect(BrightShot);
    shotPicture.setOrigin(BrightShot.width / 2.f, BrightShot.height / 2.f);
    const double radians = toRadians(bearing);
    const sf::Vector2f back(static_cast<float>(-std::cos(radians)), static_cast<float>(-std::sin(radians)));
    const sf::Vector2f flown = shot - place;
    const float travelled = std::sqrt(flown.x * flown.x + flown.y * flown.y);
    for (int k = TrailCopies; k >= 1; --k) {
        const float distance = TrailSpacing * static_cast<float>(k);
        if (distance > travelled)
            continue;
        const float share = 1.f - static_cast<float>(k) / (TrailCopies + 1);
        shotPicture.setPosition(screen + back * distance);
        shotPicture.setScale(share, share);
        shotPicture.setColor(sf::Color(255, 255, 255, static_cast<sf::Uint8>(200.f * share)));
        target.draw(shotPicture, states);
    }
    shotPicture.setPosition(screen);
    shotPicture.setScale(1.f, 1.f);
    shotPicture.setColor(sf::Color::White);
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
        // The monster's own place stays where the bullet was fired: the direction it came from,
        // when the shooter is not known.
        game->hitPlayer(BulletDamage, &place, firedBy);
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
