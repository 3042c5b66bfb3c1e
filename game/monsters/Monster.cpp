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

Monster::Monster(GameContext& game, sf::Vector2f position, double heading)
    : game(&game), position(position), heading(heading)
{
}

void Monster::draw(sf::RenderTarget& target, sf::RenderStates states) const
{
    const sf::Vector2f screen = position - game->camera();
    // A frame turned any way stays within its size of its centre: beyond that it cannot show.
    const sf::Vector2f size(target.getSize());
    const float reach = static_cast<float>(MonsterFrameSize);
    if (screen.x < -reach || screen.y < -reach || screen.x > size.x + reach || screen.y > size.y + reach)
        return;
    bodySprite.setPosition(screen);
    overlaySprite.setPosition(screen);
    if (life != 0) {
        const float rotation = static_cast<float>(heading + 90.0);
        bodySprite.setRotation(rotation);
        bodySprite.setTextureRect(sf::IntRect(0, 0, MonsterFrameSize, MonsterFrameSize));
        overlaySprite.setRotation(rotation);
        overlaySprite.setTextureRect(sf::IntRect(frame % OverlayColumns * MonsterFrameSize,
                                                 frame / OverlayColumns * MonsterFrameSize, MonsterFrameSize,
                                                 MonsterFrameSize));
        target.draw(overlaySprite, states);
        target.draw(bodySprite, states);
    } else {
        bodySprite.setTextureRect(CorpseFrame);
        target.draw(bodySprite, states);
    }
}

void Monster::damage(int amount)
{
    life = std::max(0, life - amount);
}

void Monster::setTexture(const sf::Texture& texture)
{
    const float centre = MonsterFrameSize / 2.0f;
    bodySprite.setTexture(texture);
    overlaySprite.setTexture(texture);
    bodySprite.setOrigin(centre, centre);
    overlaySprite.setOrigin(centre, centre);
}

bool Monster::blockedAt(double x, double y) const
{
    return game->map().blocked(cellOf(x), cellOf(y));
}

} // namespace vrk
