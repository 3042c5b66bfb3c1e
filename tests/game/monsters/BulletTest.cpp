#include "game/monsters/Bullet.hpp"
#include "game/monsters/Hunter.hpp"
#include "TestWorld.hpp"

#include <SFML/Graphics/RenderTexture.hpp>

#include <cmath>

namespace vrk {
namespace testing {
namespace {

class BulletTest : public TestWorld {
protected:
    Bullet& fire(float x, float y, double angle)
    {
        Bullet* bullet = new Bullet(*game, sf::Vector2f(x, y), angle);
        map().bullets.emplace_back(bullet);
        return *bullet;
    }
};

TEST_F(BulletTest, HitsAPlayer100AwayOnItsFourthStep)
{
    game->player().placeAt(sf::Vector2f(1100.0f, 700.0f));
    for (double angle : {0.0, 90.0, 180.0}) {
        setLife(StartLife);
        const sf::Vector2f start(static_cast<float>(1100.0 - 100.0 * std::cos(toRadians(angle))),
                                 static_cast<float>(700.0 - 100.0 * std::sin(toRadians(angle))));
        Bullet& bullet = fire(start.x, start.y, angle);
        EXPECT_FALSE(bullet.step()) << angle;
        EXPECT_FALSE(bullet.step()) << angle;
        EXPECT_FALSE(bullet.step()) << angle;
        EXPECT_EQ(game->player().life(), StartLife) << angle;
        EXPECT_TRUE(bullet.step()) << angle;
        EXPECT_EQ(game->player().life(), 290) << angle;
    }
}

TEST_F(BulletTest, HitWithinFifteen)
{
    game->player().placeAt(sf::Vector2f(1000.0f, 714.0f));
    EXPECT_TRUE(fire(975.0f, 700.0f, 0.0).step()); // lands 14 from the player
    game->player().placeAt(sf::Vector2f(1000.0f, 715.0f));
    EXPECT_FALSE(fire(975.0f, 700.0f, 0.0).step()); // lands 15 from the player
}

TEST_F(BulletTest, EndsOnItsFirstStepInsideAWallOrAClosedDoor)
{
    EXPECT_TRUE(fire(130.0f, 700.0f, 180.0).step()); // into the wall column 0
    setWall(5, 5, ClosedDoor);
    EXPECT_TRUE(fire(590.0f, 660.0f, 0.0).step());
    setWall(5, 5, OpenDoor);
    EXPECT_FALSE(fire(590.0f, 660.0f, 0.0).step());
    EXPECT_EQ(game->player().life(), StartLife);
}

TEST_F(BulletTest, LeavingTheMapEndsLikeAnImpact)
{
    makeMap(Columns, Rows, false);
    Bullet& right = fire(2390.0f, 700.0f, 0.0);
    EXPECT_TRUE(right.step());
    Bullet& up = fire(700.0f, 10.0f, -90.0);
    EXPECT_TRUE(up.step());
}

TEST_F(BulletTest, PassesThroughHuntersWithoutHurtingThem)
{
    Hunter& hunter = add<Hunter>(700.0f, 700.0f);
    Bullet& bullet = fire(600.0f, 700.0f, 0.0);
    for (int i = 0; i < 8; ++i)
        EXPECT_FALSE(bullet.step());
    EXPECT_FLOAT_EQ(bullet.shotPosition().x, 800.0f);
    EXPECT_EQ(hunter.life(), 100);
}

TEST_F(BulletTest, SpinsTenDegreesPerStepAndDrawingDoesNotTurnIt)
{
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(64, 64));
    game->world().setCamera(sf::Vector2f(100.0f, 200.0f));
    Bullet& bullet = fire(130.0f, 230.0f, 0.0);
    for (int i = 0; i < 3; ++i)
        ASSERT_FALSE(bullet.step());
    target.draw(bullet);
    target.draw(bullet);
    EXPECT_EQ(bullet.spin(), 30);
    EXPECT_FLOAT_EQ(bullet.shotSprite().getRotation(), 30.0f);
    EXPECT_EQ(bullet.shotSprite().getPosition(), bullet.shotPosition() - sf::Vector2f(100.0f, 200.0f));
}

} // namespace
} // namespace testing
} // namespace vrk
