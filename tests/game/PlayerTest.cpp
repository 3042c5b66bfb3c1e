#include "IngameFixture.hpp"

#include "game/monsters/Hunter.hpp"
#include "tavric/model/Tavric.hpp"

#include <cmath>

namespace vrk {
namespace testing {
namespace {

// A walled room of 20 x 12 cells, with a hunter walled up in a corner so that the game is
// not won at once.
TestMap room()
{
    std::vector<std::string> rows(12, "#..................#");
    rows.front() = rows.back() = std::string(20, '#');
    rows[1] = "#h#................#";
    rows[2] = "###................#";
    return TestMap(rows);
}

class Player : public IngameTest {
protected:
    void SetUp() override
    {
        IngameTest::SetUp();
        ASSERT_TRUE(startWith(room()));
        place(centre(5, 5));
    }
    void place(sf::Vector2f position)
    {
        game->player().placeAt(position);
        game->followCamera();
        // Pointer to the left of the player: facing 0, along +x.
        pointAt(position - sf::Vector2f(200.f, 0.f));
    }
    sf::Vector2f moved() const { return game->player().position() - start; }
    sf::Vector2f start = centre(5, 5);
};

TEST_F(Player, WalksAtThirteenOnEachAxisEvenDiagonally)
{
    hold(sf::Keyboard::W);
    hold(sf::Keyboard::D);
    step();
    EXPECT_EQ(moved(), sf::Vector2f(13.f, -13.f));
    EXPECT_TRUE(game->player().moving());
    EXPECT_EQ(game->player().directionX(), 2);
    EXPECT_EQ(game->player().directionY(), 0);
    EXPECT_FLOAT_EQ(game->player().legs().getRotation(), 360.f - 135.f);

    // Up wins over down and left over right.
    hold(sf::Keyboard::Down);
    hold(sf::Keyboard::Left);
    start = game->player().position();
    step();
    EXPECT_EQ(moved(), sf::Vector2f(-13.f, -13.f));
    EXPECT_FLOAT_EQ(game->player().legs().getRotation(), 135.f);
}

TEST_F(Player, RunningSpendsStaminaThenCrawlsAtEight)
{
    place(centre(1, 5));
    start = game->player().position();
    hold(sf::Keyboard::RControl);
    hold(sf::Keyboard::Right);
    step(50);
    EXPECT_EQ(moved(), sf::Vector2f(1000.f, 0.f));
    EXPECT_EQ(game->player().stamina(), 80);

    // Running in place drains stamina too.
    hold(sf::Keyboard::Right, false);
    step(80);
    EXPECT_EQ(game->player().stamina(), 0);
    start = game->player().position();
    EXPECT_EQ(moved(), sf::Vector2f(0.f, 0.f));

    hold(sf::Keyboard::Right);
    step(2);
    EXPECT_EQ(moved(), sf::Vector2f(16.f, 0.f));
    EXPECT_EQ(game->player().stamina(), 0);

    // Released, the run key gives back one point per step and the walk speed.
    hold(sf::Keyboard::RControl, false);
    start = game->player().position();
    step(3);
    EXPECT_EQ(game->player().stamina(), 3);
    EXPECT_EQ(moved(), sf::Vector2f(39.f, 0.f));
}

TEST_F(Player, AWallRefusesTheWholeMoveWithoutSliding)
{
    place(sf::Vector2f(125.f, 125.f)); // cell (1, 1), the corner of the room
    start = game->player().position();
    hold(sf::Keyboard::A);
    step();
    EXPECT_EQ(moved(), sf::Vector2f(0.f, 0.f));
    hold(sf::Keyboard::S);
    step();
    EXPECT_EQ(moved(), sf::Vector2f(0.f, 0.f));
    hold(sf::Keyboard::A, false);
    hold(sf::Keyboard::W);
    hold(sf::Keyboard::S, false);
    step();
    EXPECT_EQ(moved(), sf::Vector2f(0.f, 0.f));
}

TEST_F(Player, OutsideTheMapIsAWall)
{
    // Open ground to the very edge: no border walls.
    ASSERT_TRUE(startWith(TestMap(20, 12)));
    place(sf::Vector2f(5.f, 5.f));
    start = game->player().position();
    hold(sf::Keyboard::A);
    step();
    hold(sf::Keyboard::A, false);
    hold(sf::Keyboard::W);
    step();
    EXPECT_EQ(moved(), sf::Vector2f(0.f, 0.f));
    place(sf::Vector2f(20 * 120 - 5.f, 12 * 120 - 5.f));
    start = game->player().position();
    hold(sf::Keyboard::W, false);
    hold(sf::Keyboard::D);
    hold(sf::Keyboard::S);
    step();
    EXPECT_EQ(moved(), sf::Vector2f(0.f, 0.f));
}

TEST_F(Player, ADoorClosingOnThePlayerTrapsAndHurtsIt)
{
    game->world().slot(0).layers[WallLayer][5 * 20 + 5] = ClosedDoor;
    hold(sf::Keyboard::D);
    step(5);
    EXPECT_EQ(moved(), sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(game->player().life(), StartLife - 5 * ClosedDoorDamage);

    // One step that carries the centre into the free neighbour gets it out.
    place(sf::Vector2f(710.f, 660.f));
    step();
    EXPECT_EQ(game->player().position(), sf::Vector2f(723.f, 660.f));
    EXPECT_EQ(game->player().life(), StartLife - 6 * ClosedDoorDamage);
    step();
    EXPECT_EQ(game->player().life(), StartLife - 6 * ClosedDoorDamage);
}

TEST_F(Player, ASwingRunsNineStepsAndIsNotRestarted)
{
    // Clicks where the pointer already is, so the facing stays 0.
    const sf::Vector2f pointer = program->pointer();
    const auto click = [&](sf::Mouse::Button button, int, int) {
        IngameTest::click(button, static_cast<int>(pointer.x), static_cast<int>(pointer.y));
    };
    click(sf::Mouse::Left, 0, 0);
    EXPECT_EQ(game->player().attackTimer(), 9);
    step();
    EXPECT_EQ(game->player().attackTimer(), 8);
    EXPECT_FLOAT_EQ(game->player().attackSprite().getRotation(), 360.f - 70.f); // offset 20, minus 90
    click(sf::Mouse::Left, 0, 0);
    EXPECT_EQ(game->player().attackTimer(), 8);
    step(8);
    EXPECT_EQ(game->player().attackTimer(), 0);
    EXPECT_FLOAT_EQ(game->player().attackSprite().getRotation(), 90.f); // rests at offset 180
    click(sf::Mouse::Left, 0, 0);
    EXPECT_EQ(game->player().attackTimer(), 9);

    // Only the attack cursor attacks.
    step(9);
    program->setCursor(2);
    click(sf::Mouse::Left, 0, 0);
    EXPECT_EQ(game->player().attackTimer(), 0);
}

TEST_F(Player, AHunterSeventyFromTheHitPointDiesOnTheFirstSwingStep)
{
    // Facing 0 means the pointer is to the left: the blade lands 50 to the left.
    const sf::Vector2f hit = game->player().position() + sf::Vector2f(-50.f, 0.f);
    auto near = std::make_unique<Hunter>(*game, hit + sf::Vector2f(0.f, 70.f), 90.0);
    auto edge = std::make_unique<Hunter>(*game, hit + sf::Vector2f(0.f, -80.f), 270.0);
    auto behind =
        std::make_unique<Hunter>(*game, game->player().position() + sf::Vector2f(60.f, 0.f), 180.0);
    Hunter& nearHunter = *near;
    Hunter& edgeHunter = *edge;
    Hunter& behindHunter = *behind;
    game->world().slot(0).monsters.push_back(std::move(near));
    game->world().slot(0).monsters.push_back(std::move(edge));
    game->world().slot(0).monsters.push_back(std::move(behind));
    game->player().attack();
    step();
    EXPECT_EQ(nearHunter.life(), 0);
    EXPECT_EQ(edgeHunter.life(), 100);
    EXPECT_EQ(behindHunter.life(), 100) << "the blade does not land behind the player";
}

TEST_F(Player, FacesThePointerAndKeepsItsFacingWhenThePointerIsOnIt)
{
    const sf::Vector2f at = game->player().position();
    pointAt(at + sf::Vector2f(300.f, 0.f));
    step();
    EXPECT_DOUBLE_EQ(game->player().facing(), -Pi);
    pointAt(at + sf::Vector2f(0.f, 300.f));
    step();
    EXPECT_DOUBLE_EQ(game->player().facing(), -Pi / 2);
    EXPECT_FLOAT_EQ(game->player().body().getRotation(), 180.f);
    pointAt(at + sf::Vector2f(-300.f, -300.f));
    step();
    EXPECT_DOUBLE_EQ(game->player().facing(), Pi / 4);
    EXPECT_FLOAT_EQ(game->player().body().getRotation(), 360.f - 45.f);

    pointAt(at);
    step();
    EXPECT_DOUBLE_EQ(game->player().facing(), Pi / 4);
    game->draw();
}

TEST_F(Player, IdleLegsSettleOnTheNearerStandingPose)
{
    hold(sf::Keyboard::D);
    step(3);
    EXPECT_EQ(game->player().walkFrame(), 3);
    hold(sf::Keyboard::D, false);
    step(5);
    EXPECT_EQ(game->player().walkFrame(), 0);

    hold(sf::Keyboard::S);
    step(11);
    EXPECT_EQ(game->player().walkFrame(), 11);
    EXPECT_EQ(game->player().legs().getTextureRect(), sf::IntRect(360, 120, 120, 120));
    hold(sf::Keyboard::S, false);
    step(6);
    EXPECT_EQ(game->player().walkFrame(), 8);

    // Running turns the legs twice as fast, round the cycle of 16.
    hold(sf::Keyboard::LShift);
    hold(sf::Keyboard::W);
    step(5);
    EXPECT_EQ(game->player().walkFrame(), 2);
}

TEST_F(Player, BarsShowLifeAndStamina)
{
    setLife(300);
    hold(sf::Keyboard::LShift);
    step(10);
    EXPECT_EQ(game->player().runBar().getTextureRect(), sf::IntRect(10, 0, 200 + 10, 64));
    EXPECT_EQ(game->player().lifeBar().getTextureRect(), sf::IntRect(100, 0, 400 + 100, 93));
}

TEST_F(Player, ADeadPlayerNoLongerMoves)
{
    setLife(0);
    hold(sf::Keyboard::D);
    step(3);
    EXPECT_EQ(moved(), sf::Vector2f(0.f, 0.f));
    game->draw();
    EXPECT_EQ(game->player().body().getTextureRect(), sf::IntRect(960, 0, 120, 120));
}

TEST_F(Player, PressingIntoAnEventCellTriggersItEveryStep)
{
    program->languageDocument().child("Victory").setString("Out at last");
    game->world().slot(0).layers[WallLayer][5 * 20 + 6] = WallCell;
    game->world().slot(0).layers[EventLayer][5 * 20 + 6] = 12;
    place(sf::Vector2f(715.f, 660.f));
    hold(sf::Keyboard::D);
    step(2);
    EXPECT_EQ(game->player().position(), sf::Vector2f(715.f, 660.f));
    ASSERT_EQ(game->log().lines().size(), 2u);
    EXPECT_EQ(game->log().lines().back().getString().toAnsiString(), "Out at last");
}

TEST_F(Player, OnlyEventNumbersOfTheTableHaveHandlers)
{
    MapRecord& map = game->world().slot(0);
    map.layers[EventLayer][1 * 20 + 1] = 2;
    map.layers[EventLayer][1 * 20 + 2] = 1;
    map.layers[EventLayer][1 * 20 + 3] = 181;
    map.layers[EventLayer][1 * 20 + 4] = 100000;
    ASSERT_NE(Events::handler(0, DoorPanelEvent), nullptr);
    EXPECT_EQ(game->eventHandlerAt(1, 1), Events::handler(0, DoorPanelEvent));
    EXPECT_EQ(game->eventHandlerAt(2, 1), nullptr);
    EXPECT_EQ(game->eventHandlerAt(3, 1), nullptr);
    EXPECT_EQ(game->eventHandlerAt(4, 1), nullptr);
    EXPECT_EQ(game->eventHandlerAt(-1, 1), nullptr);
    EXPECT_EQ(game->eventHandlerAt(1, 12), nullptr);
    // Clicking such cells, or outside the map, is harmless.
    click(sf::Mouse::Left, 4 * 120 + 5 - static_cast<int>(game->world().camera().x),
          125 - static_cast<int>(game->world().camera().y));
    click(sf::Mouse::Left, 1919, 1079);
}

} // namespace
} // namespace testing
} // namespace vrk
