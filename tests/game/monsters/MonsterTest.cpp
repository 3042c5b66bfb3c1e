#include "game/monsters/Hunter.hpp"
#include "TestWorld.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>

namespace vrk {
namespace testing {
namespace {

const sf::Color Body(200, 0, 0);
const sf::Color Overlay(0, 200, 0);
const sf::Color Corpse(0, 0, 200);

class MonsterTest : public TestWorld {
protected:
    void SetUp() override
    {
        TestWorld::SetUp();
        // A sheet whose body and corpse frames cover only their left halves, so both what is
        // drawn and in which order show in the pixels.
        sf::Image sheet;
        sheet.create(480, 240, sf::Color::Transparent);
        for (unsigned y = 0; y < 120; ++y)
            for (unsigned x = 0; x < 60; ++x) {
                sheet.setPixel(x, y, Body);
                sheet.setPixel(360 + x, y, Corpse);
            }
        for (unsigned y = 120; y < 240; ++y)
            for (unsigned x = 120; x < 240; ++x)
                sheet.setPixel(x, y, Overlay); // overlay frame 4
        ASSERT_TRUE(texture.loadFromImage(sheet));
        ASSERT_TRUE(target.create(120, 120));
    }

    sf::Image render(const Monster& monster)
    {
        target.clear(sf::Color::Black);
        target.draw(monster);
        target.display();
        return target.getTexture().copyToImage();
    }

    sf::Texture texture;
    sf::RenderTexture target;
};

TEST_F(MonsterTest, DamageNeverGoesBelowZero)
{
    Hunter& hunter = add<Hunter>(600.0f, 600.0f);
    hunter.damage(30);
    EXPECT_EQ(hunter.life(), 70);
    hunter.damage(250);
    EXPECT_EQ(hunter.life(), 0);
    hunter.damage(100);
    EXPECT_EQ(hunter.life(), 0);
}

TEST_F(MonsterTest, AliveDrawsTheOverlayFrameThenTheBody)
{
    game->world().setCamera(sf::Vector2f(540.0f, 540.0f));
    Hunter& hunter = add<Hunter>(600.0f, 600.0f, -90.0); // upright on screen
    hunter.setTexture(texture);
    MonsterProbe::frame(hunter) = 4;
    const sf::Image image = render(hunter);
    EXPECT_EQ(hunter.overlaySprite().getTextureRect(), sf::IntRect(120, 120, 120, 120));
    EXPECT_EQ(hunter.bodySprite().getTextureRect(), sf::IntRect(0, 0, 120, 120));
    EXPECT_EQ(hunter.bodySprite().getPosition(), sf::Vector2f(60.0f, 60.0f));
    EXPECT_EQ(image.getPixel(30, 60), Body);
    EXPECT_EQ(image.getPixel(90, 60), Overlay);
}

TEST_F(MonsterTest, DeadDrawsTheCorpseAloneWithItsLastRotation)
{
    Hunter& hunter = add<Hunter>(60.0f, 60.0f, 0.0);
    hunter.setTexture(texture);
    MonsterProbe::frame(hunter) = 4;
    render(hunter);
    EXPECT_FLOAT_EQ(hunter.bodySprite().getRotation(), 90.0f);
    MonsterProbe::heading(hunter) = -90.0;
    render(hunter); // upright now
    hunter.damage(100);
    MonsterProbe::heading(hunter) = 45.0;
    const sf::Image image = render(hunter);
    EXPECT_EQ(hunter.bodySprite().getTextureRect(), sf::IntRect(360, 0, 120, 120));
    EXPECT_FLOAT_EQ(hunter.bodySprite().getRotation(), 0.0f);
    EXPECT_EQ(image.getPixel(30, 60), Corpse);
    EXPECT_EQ(image.getPixel(90, 60), sf::Color::Black);
}

TEST_F(MonsterTest, OnlyAMonsterThatCanShowIsDrawn)
{
    // Its centre 50 beyond the left edge, turned so that its body's half reaches 10 into the view.
    game->world().setCamera(sf::Vector2f(650.0f, 540.0f));
    Hunter& hunter = add<Hunter>(600.0f, 600.0f, 90.0);
    hunter.setTexture(texture);
    EXPECT_EQ(render(hunter).getPixel(5, 60), Body);
    // Beyond its size from any edge it is skipped, its sprite left where it was.
    const sf::Vector2f placed = hunter.bodySprite().getPosition();
    for (const sf::Vector2f camera : {sf::Vector2f(721.0f, 540.0f), sf::Vector2f(540.0f, 721.0f),
                                      sf::Vector2f(359.0f, 540.0f), sf::Vector2f(540.0f, 359.0f)}) {
        game->world().setCamera(camera);
        EXPECT_EQ(render(hunter).getPixel(5, 60), sf::Color::Black);
        EXPECT_EQ(hunter.bodySprite().getPosition(), placed);
    }
}

} // namespace
} // namespace testing
} // namespace vrk
