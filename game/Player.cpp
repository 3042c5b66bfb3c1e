#include "game/Ingame.hpp"

#include "game/monsters/Monster.hpp"
#include "shell/Program.hpp"

#include <algorithm>
#include <cmath>

namespace vrk {

namespace {
constexpr double Pi = 3.14159265358979323846;
constexpr int RunBarTexture = 6;
constexpr int BodyTexture = 7;
constexpr int LifeBarTexture = 9;
constexpr int MaxStamina = 130;
constexpr int RunSpeed = 20;
constexpr int WalkSpeed = 13;
constexpr int ExhaustedSpeed = 8;
constexpr int SwingSteps = 9;
constexpr int FullLifeBar = 400;
constexpr int WalkFrames = 16;
constexpr int StandingFrame = 8; // the second standing pose, halfway through the cycle
constexpr float HitReach = 50.f;
constexpr float HitRadiusSquared = 6400.f;
constexpr int HitDamage = 100;

// Rotation of the legs by [directionX][directionY] (0 left/up, 1 none, 2 right/down).
const float LegAngles[3][3] = {{135.f, 90.f, 45.f}, {180.f, 0.f, 0.f}, {-135.f, -90.f, -45.f}};

bool held(const Program& program, sf::Keyboard::Key first, sf::Keyboard::Key second)
{
    return program.keyDown[first] || program.keyDown[second];
}
} // namespace

bool Ingame::runKeyHeld() const
{
    return held(*program, sf::Keyboard::LShift, sf::Keyboard::RControl);
}

void Ingame::attack()
{
    if (attackTimer <= 0)
        attackTimer = SwingSteps;
}

void Ingame::playerStep()
{
    // Attack swing.
    const int swing = attackTimer;
    int offset = 180;
    if (swing - 1 < 0) {
        attackTimer = 0;
    } else {
        attackTimer = swing - 1;
        offset = (10 - swing) * 20;
    }
    attackSprite.setRotation(static_cast<float>(facingAngle * 180.0 / Pi + offset - 90.0));

    // Stamina and speed.
    const bool running = runKeyHeld();
    if (running) {
        if (stamina - 1 < 0) {
            stamina = 0;
            speed = ExhaustedSpeed;
        } else {
            --stamina;
            speed = RunSpeed;
        }
    } else {
        stamina = std::min(MaxStamina, stamina + 1);
        speed = WalkSpeed;
    }

    // Bars: both slide left as they empty.
    const int runBarWidth = static_cast<int>(textures[RunBarTexture].getSize().x);
    const int lifeBarWidth = static_cast<int>(textures[LifeBarTexture].getSize().x);
    sprites[RunBarTexture].setTextureRect(sf::IntRect(MaxStamina - stamina, 0, runBarWidth + MaxStamina - stamina, 64));
    sprites[LifeBarTexture].setTextureRect(sf::IntRect(FullLifeBar - life, 0, lifeBarWidth + FullLifeBar - life, 93));

    // Keys.
    sf::Vector2f tried = playerPosition;
    if (life > 0) {
        moving = false;
        const float step = static_cast<float>(speed);
        if (held(*program, sf::Keyboard::Up, sf::Keyboard::W)) {
            tried.y -= step;
            directionY = 0;
        } else if (held(*program, sf::Keyboard::Down, sf::Keyboard::S)) {
            tried.y += step;
            directionY = 2;
        } else {
            directionY = 1;
        }
        if (held(*program, sf::Keyboard::Left, sf::Keyboard::A)) {
            tried.x -= step;
            directionX = 0;
        } else if (held(*program, sf::Keyboard::Right, sf::Keyboard::D)) {
            tried.x += step;
            directionX = 2;
        } else {
            directionX = 1;
        }
        moving = directionX != 1 || directionY != 1;
    }

    // Walls: no sliding, the whole move is refused.
    const int column = cellOf(tried.x);
    const int row = cellOf(tried.y);
    if (!map().blocked(column, row))
        playerPosition = tried;

    // Step event, on the tried cell so that pressing into a panel or a wall triggers it.
    if (EventHandler handler = eventHandlerAt(column, row))
        handler(*this, column * TileSize + TileSize / 2, row * TileSize + TileSize / 2, 0);

    // Walk animation; idle legs settle on the nearer standing pose.
    if (moving)
        walkFrame = (walkFrame + (running ? 2 : 1)) % WalkFrames;
    else if (walkFrame != 0 && walkFrame != StandingFrame)
        --walkFrame;
    legsSprite.setTextureRect(sf::IntRect(walkFrame % 8 * TileSize, walkFrame / 8 * TileSize, TileSize, TileSize));
    legsSprite.setRotation(LegAngles[directionX][directionY]);

    // Facing: from the pointer to the player. With the pointer on the player there is no
    // direction, and the facing stays.
    const double dx = static_cast<double>(playerPosition.x - camera.x) - program->mousePosition.x;
    const double dy = static_cast<double>(playerPosition.y - camera.y) - program->mousePosition.y;
    if (dx != 0.0 || dy != 0.0) {
        if (dx < 0.0 && std::trunc(dy) == 0.0)
            facingAngle = -Pi;
        else
            facingAngle = 2.0 * std::atan(dy / (std::sqrt(dx * dx + dy * dy) + dx));
    }
    if (life > 0)
        sprites[BodyTexture].setRotation(static_cast<float>(std::trunc(facingAngle * 180.0 / Pi - 90.0)));
}

void Ingame::attackHits()
{
    if (attackTimer == 0)
        return;
    // facingAngle points from the pointer to the player, so the blade lands on the opposite side:
    // toward the pointer, where the player aims.
    const sf::Vector2f hit(playerPosition.x - HitReach * static_cast<float>(std::cos(facingAngle)),
                           playerPosition.y - HitReach * static_cast<float>(std::sin(facingAngle)));
    for (const auto& monster : map().monsters) {
        const sf::Vector2f d = monster->position - hit;
        if (d.x * d.x + d.y * d.y < HitRadiusSquared)
            monster->damage(HitDamage);
    }
}

} // namespace vrk
