#include "game/monsters/Bullet.hpp"

#include "game/Identifiers.hpp"
#include "game/Audio.hpp"
#include "game/GameContext.hpp"

#include <algorithm>
#include <cmath>

namespace vrk {

namespace {
// The picture holds the first rules' shot (15 x 15) and beside it the readable one with its
// trail, flying toward +x, its centre this far from its left edge.
const sf::IntRect SmallShot(0, 0, 15, 15);
const sf::IntRect BrightShot(15, 0, 48, 24);
constexpr float BrightCentre = 36.f;
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
    // One quad along the flight; its trail never reaches back past the muzzle.
    const sf::Vector2f flown = shot - place;
    const float trail = std::min(BrightCentre, std::sqrt(flown.x * flown.x + flown.y * flown.y));
    const float ahead = static_cast<float>(BrightShot.width) - BrightCentre;
    const float half = BrightShot.height / 2.f;
    sf::Transform transform;
    transform.translate(shot - game->camera()).rotate(static_cast<float>(bearing));
    const float left = static_cast<float>(BrightShot.left) + BrightCentre - trail;
    const float right = static_cast<float>(BrightShot.left + BrightShot.width);
    const float top = static_cast<float>(BrightShot.top);
    const float bottom = static_cast<float>(BrightShot.top + BrightShot.height);
    const sf::Vertex corners[4] = {
        sf::Vertex(transform.transformPoint(-trail, -half), sf::Color::White, sf::Vector2f(left, top)),
        sf::Vertex(transform.transformPoint(ahead, -half), sf::Color::White, sf::Vector2f(right, top)),
        sf::Vertex(transform.transformPoint(ahead, half), sf::Color::White, sf::Vector2f(right, bottom)),
        sf::Vertex(transform.transformPoint(-trail, half), sf::Color::White, sf::Vector2f(left, bottom))};
    for (const int i : {0, 1, 2, 0, 2, 3})
        triangles.append(corners[i]);
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
