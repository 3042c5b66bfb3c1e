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
    const sf::Texture* texture = nullptr;
    sf::VertexArray triangles(sf::Triangles);
    if (batch(triangles, texture)) {
        states.texture = texture;
        target.draw(triangles, states);
        return;
    }
    shotPicture.setTextureRect(SmallShot);
    shotPicture.setOrigin(SmallShot.width / 2.f, SmallShot.height / 2.f);
    shotPicture.setPosition(shot - game->camera());
    shotPicture.setRotation(static_cast<float>(turned));
    target.draw(shotPicture, states);
}

bool Bullet::batch(sf::VertexArray& triangles, const sf::Texture*& texture) const
{
    if (!game->rules().readableThreats)
        return false;
    texture = shotPicture.getTexture();
    const sf::Vector2f screen = shot - game->camera();
    const double radians = toRadians(bearing);
    const sf::Vector2f back(static_cast<float>(-std::cos(radians)), static_cast<float>(-std::sin(radians)));
    const sf::Vector2f flown = shot - place;
    const float travelled = std::sqrt(flown.x * flown.x + flown.y * flown.y);
    const float half = BrightShot.width / 2.f;
    const auto add = [&](sf::Vector2f centre, float scale, sf::Uint8 alpha) {
        sf::Transform transform;
        transform.translate(centre).rotate(static_cast<float>(turned)).scale(scale, scale);
        const sf::Color colour(255, 255, 255, alpha);
        const float left = static_cast<float>(BrightShot.left), top = static_cast<float>(BrightShot.top);
        const sf::Vertex corners[4] = {
            sf::Vertex(transform.transformPoint(-half, -half), colour, sf::Vector2f(left, top)),
            sf::Vertex(transform.transformPoint(half, -half), colour, sf::Vector2f(left + 2 * half, top)),
            sf::Vertex(transform.transformPoint(half, half), colour, sf::Vector2f(left + 2 * half, top + 2 * half)),
            sf::Vertex(transform.transformPoint(-half, half), colour, sf::Vector2f(left, top + 2 * half))};
        for (const int i : {0, 1, 2, 0, 2, 3})
            triangles.append(corners[i]);
    };
    // The trail, faintest first, then the shot over it.
    for (int k = TrailCopies; k >= 1; --k) {
        const float distance = TrailSpacing * static_cast<float>(k);
        if (distance > travelled)
            continue;
        const float share = 1.f - static_cast<float>(k) / (TrailCopies + 1);
        add(screen + back * distance, share, static_cast<sf::Uint8>(200.f * share));
    }
    add(screen, 1.f, 255);
    return true;
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
