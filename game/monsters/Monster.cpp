#include "game/monsters/Monster.hpp"

#include "game/GameContext.hpp"
#include "game/MapRecord.hpp"

#include <algorithm>

namespace vrk {

namespace {
// The corpse picture of a monster sheet.
const sf::IntRect CorpseFrame(360, 0, MonsterFrameSize, MonsterFrameSize);
constexpr int OverlayColumns = 3;
} // namespace

Monster::Monster(GameContext& game, sf::Vector2f place, double bearing)
    : game(&game), place(place), bearing(bearing)
{
}

void Monster::draw(sf::RenderTarget& target, sf::RenderStates states) const
{
    const sf::Vector2f screen = place - game->camera();
    // A frame turned any way stays within its size of its centre: beyond that it cannot show.
    const sf::Vector2f size(target.getSize());
    const float reach = static_cast<float>(MonsterFrameSize);
    if (screen.x < -reach || screen.y < -reach || screen.x > size.x + reach || screen.y > size.y + reach)
        return;
    body.setPosition(screen);
    overlay.setPosition(screen);
    if (health != 0) {
        const float rotation = static_cast<float>(bearing + 90.0);
        body.setRotation(rotation);
        body.setTextureRect(sf::IntRect(0, 0, MonsterFrameSize, MonsterFrameSize));
        overlay.setRotation(rotation);
        overlay.setTextureRect(sf::IntRect(animation % OverlayColumns * MonsterFrameSize,
                                                 animation / OverlayColumns * MonsterFrameSize, MonsterFrameSize,
                                                 MonsterFrameSize));
        target.draw(overlay, states);
        target.draw(body, states);
    } else {
        body.setTextureRect(CorpseFrame);
        target.draw(body, states);
    }
}

void Monster::damage(int amount)
{
    health = std::max(0, health - amount);
}

void Monster::setTexture(const sf::Texture& texture)
{
    const float centre = MonsterFrameSize / 2.0f;
    body.setTexture(texture);
    overlay.setTexture(texture);
    body.setOrigin(centre, centre);
    overlay.setOrigin(centre, centre);
}

bool Monster::blockedAt(double x, double y) const
{
    return game->map().blocked(cellOf(x), cellOf(y));
}

} // namespace vrk
