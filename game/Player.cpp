#include "game/Player.hpp"

#include "game/Tuning.hpp"

#include <algorithm>
#include <cmath>

namespace vrk {

namespace {
// Rotation of the legs by [directionX][directionY] (0 left/up, 1 none, 2 right/down).
const float LegAngles[3][3] = {{135.f, 90.f, 45.f}, {180.f, 0.f, 0.f}, {-135.f, -90.f, -45.f}};
const sf::IntRect BodyFrame(0, 0, TileSize, TileSize);
const sf::IntRect CorpseFrame(960, 0, TileSize, TileSize);
const sf::IntRect AttackFrame(960, 120, TileSize, TileSize);
const sf::Vector2f LifeBarPlace(20.f, 20.f);
const sf::Vector2f RunBarPlace(20.f, 113.f);
constexpr int RunBarHeight = 64;
constexpr int LifeBarHeight = 93;
} // namespace

void Player::setUp(const sf::Texture& sheet, const sf::Texture& lifeBar, const sf::Texture& runBar)
{
    const float centre = TileSize / 2.0f;
    bodySprite.setTexture(sheet, true);
    bodySprite.setTextureRect(BodyFrame);
    bodySprite.setOrigin(centre, centre);
    legsSprite.setTexture(sheet);
    legsSprite.setTextureRect(BodyFrame);
    legsSprite.setOrigin(centre, centre);
    swingSprite.setTexture(sheet);
    swingSprite.setTextureRect(AttackFrame);
    swingSprite.setOrigin(90.f, 60.f);
    lifeBarSprite.setTexture(lifeBar, true);
    lifeBarSprite.setPosition(LifeBarPlace);
    runBarSprite.setTexture(runBar, true);
    runBarSprite.setPosition(RunBarPlace);
}

void Player::restart(int startLife)
{
    guard = 0;
    where = PlayerStart;
    facingAngle = 0.0;
    horizontal = vertical = 1;
    currentStamina = MaxStamina;
    frame = 0;
    currentLife = startLife;
    swing = 0;
}

void Player::attack()
{
    if (swing <= 0)
        swing = SwingSteps;
}

sf::Vector2i Player::step(const PlayerControls& controls, const MapRecord& map, sf::Vector2f camera)
{
    // Attack swing.
    const int was = swing;
    int offset = 180;
    if (was - 1 < 0) {
        swing = 0;
    } else {
        swing = was - 1;
        offset = (10 - was) * 20;
    }
    swingSprite.setRotation(static_cast<float>(toDegrees(facingAngle) + offset - 90.0));

    // Stamina and speed.
    if (controls.run) {
        if (currentStamina - 1 < 0) {
            currentStamina = 0;
            speed = ExhaustedSpeed;
        } else {
            --currentStamina;
            speed = RunSpeed;
        }
    } else {
        currentStamina = std::min(MaxStamina, currentStamina + 1);
        speed = WalkSpeed;
    }

    // Bars: both slide left as they empty.
    const int runBarWidth = static_cast<int>(runBarSprite.getTexture() ? runBarSprite.getTexture()->getSize().x : 0);
    const int lifeBarWidth = static_cast<int>(lifeBarSprite.getTexture() ? lifeBarSprite.getTexture()->getSize().x : 0);
    runBarSprite.setTextureRect(
        sf::IntRect(MaxStamina - currentStamina, 0, runBarWidth + MaxStamina - currentStamina, RunBarHeight));
    lifeBarSprite.setTextureRect(
        sf::IntRect(FullLifeBar - currentLife, 0, lifeBarWidth + FullLifeBar - currentLife, LifeBarHeight));

    // Keys.
    sf::Vector2f tried = where;
    if (alive()) {
        isMoving = false;
        const float distance = static_cast<float>(speed);
        if (controls.up) {
            tried.y -= distance;
            vertical = 0;
        } else if (controls.down) {
            tried.y += distance;
            vertical = 2;
        } else {
            vertical = 1;
        }
        if (controls.left) {
            tried.x -= distance;
            horizontal = 0;
        } else if (controls.right) {
            tried.x += distance;
            horizontal = 2;
        } else {
            horizontal = 1;
        }
        isMoving = horizontal != 1 || vertical != 1;
    }

    if (guard > 0)
        --guard;

    // Walls: the whole move is refused, or with sliding its free axis is kept. The step event
    // still reacts on the cell first tried, so pressing into a panel works either way.
    const sf::Vector2i triedCell(cellOf(tried.x), cellOf(tried.y));
    if (!map.blocked(triedCell.x, triedCell.y))
        where = tried;
    else if (sliding)
        slide(tried, map);

    // Walk animation; idle legs settle on the nearer standing pose.
    if (isMoving)
        frame = (frame + (controls.run ? 2 : 1)) % WalkFrames;
    else if (frame != 0 && frame != StandingFrame)
        --frame;
    legsSprite.setTextureRect(sf::IntRect(frame % 8 * TileSize, frame / 8 * TileSize, TileSize, TileSize));
    legsSprite.setRotation(LegAngles[horizontal][vertical]);

    // Facing: from the pointer to the player. With the pointer on the player there is no
    // direction, and the facing stays.
    const double dx = static_cast<double>(where.x - camera.x) - controls.pointer.x;
    const double dy = static_cast<double>(where.y - camera.y) - controls.pointer.y;
    if (dx != 0.0 || dy != 0.0) {
        if (dx < 0.0 && std::trunc(dy) == 0.0)
            facingAngle = -Pi;
        else
            facingAngle = 2.0 * std::atan(dy / (std::sqrt(dx * dx + dy * dy) + dx));
    }
    if (alive())
        bodySprite.setRotation(static_cast<float>(std::trunc(toDegrees(facingAngle) - 90.0)));
    return triedCell;
}

void Player::slide(sf::Vector2f tried, const MapRecord& map)
{
    if (!map.blockedAt(sf::Vector2f(tried.x, where.y)))
        where.x = tried.x;
    else if (!map.blockedAt(sf::Vector2f(where.x, tried.y)))
        where.y = tried.y;
}

void Player::push(sf::Vector2f offset, const MapRecord& map)
{
    // In small steps, so that a push never jumps over a wall.
    constexpr int Parts = 6;
    for (int i = 0; i < Parts; ++i) {
        const sf::Vector2f before = where;
        const sf::Vector2f part = offset / static_cast<float>(Parts);
        if (!map.blockedAt(where + part))
            where += part;
        else
            slide(where + part, map);
        if (where == before)
            return;
    }
}

bool Player::blinkedOut() const
{
    return guard > 0 && guard / BlinkSteps % 2 == 1;
}

sf::Vector2f Player::hitPoint() const
{
    // facingAngle points from the pointer to the player, so the blade lands on the opposite side.
    return sf::Vector2f(where.x - HitReach * static_cast<float>(std::cos(facingAngle)),
                        where.y - HitReach * static_cast<float>(std::sin(facingAngle)));
}

void Player::draw(sf::RenderTarget& target, sf::Vector2f camera)
{
    const sf::Vector2f screen = where - camera;
    bodySprite.setPosition(screen);
    if (alive() && blinkedOut())
        return;
    if (!alive()) {
        bodySprite.setTextureRect(CorpseFrame);
    } else {
        bodySprite.setTextureRect(BodyFrame);
        if (swing != 0) {
            swingSprite.setPosition(screen);
            target.draw(swingSprite);
        }
        legsSprite.setPosition(screen);
        if (frame != 0 && frame != StandingFrame)
            target.draw(legsSprite);
    }
    target.draw(bodySprite);
}

void Player::drawBars(sf::RenderTarget& target) const
{
    target.draw(lifeBarSprite);
    target.draw(runBarSprite);
}

} // namespace vrk
