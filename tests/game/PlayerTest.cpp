#include "IngameFixture.hpp"

#include "game/monsters/Hunter.hpp"
#include "tavric/model/Tavric.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>

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
        start = game->player().position();
    }
    sf::Vector2f moved() const { return game->player().position() - start; }
    sf::Vector2f start; // where moved() counts from
};

TEST_F(Player, WalksAtThirteenOnEachAxisEvenDiagonally)
{
    hold(sf::Keyboard::W);
    hold(sf::Keyboard::D);
    step();
    EXPECT_EQ(moved(), sf::Vector2f(WalkSpeed, -WalkSpeed));
    EXPECT_TRUE(game->player().moving());
    EXPECT_EQ(game->player().directionX(), 2);
    EXPECT_EQ(game->player().directionY(), 0);
    EXPECT_FLOAT_EQ(game->player().legs().getRotation(), 360.f - 135.f);

    // Up wins over down and left over right.
    hold(sf::Keyboard::Down);
    hold(sf::Keyboard::Left);
    start = game->player().position();
    step();
    EXPECT_EQ(moved(), sf::Vector2f(-WalkSpeed, -WalkSpeed));
    EXPECT_FLOAT_EQ(game->player().legs().getRotation(), 135.f);
}

TEST_F(Player, RunningSpendsStaminaThenCrawlsAtEight)
{
    place(centre(1, 5));
    hold(sf::Keyboard::RControl);
    hold(sf::Keyboard::Right);
    step(50);
    EXPECT_EQ(moved(), sf::Vector2f(50 * RunSpeed, 0.f));
    EXPECT_EQ(game->player().stamina(), MaxStamina - 50);

    // Running in place drains stamina too.
    hold(sf::Keyboard::Right, false);
    step(MaxStamina - 50);
    EXPECT_EQ(game->player().stamina(), 0);
    start = game->player().position();
    EXPECT_EQ(moved(), sf::Vector2f(0.f, 0.f));

    hold(sf::Keyboard::Right);
    step(2);
    EXPECT_EQ(moved(), sf::Vector2f(2 * ExhaustedSpeed, 0.f));
    EXPECT_EQ(game->player().stamina(), 0);

    // Released, the run key gives back one point per step and the walk speed.
    hold(sf::Keyboard::RControl, false);
    start = game->player().position();
    step(3);
    EXPECT_EQ(game->player().stamina(), 3);
    EXPECT_EQ(moved(), sf::Vector2f(3 * WalkSpeed, 0.f));
}

// A wall, or the ground beyond the map's edge, refuses the whole move: no sliding along it.
TEST_F(Player, WallsAndTheMapsEdgeRefuseTheWholeMove)
{
    using K = sf::Keyboard;
    const float width = 20 * TileSize, height = 12 * TileSize;
    // open: open ground to the very edge, no border walls; (125, 125) is cell (1, 1), the room's corner.
    const struct Case {
        const char* name;
        bool open;
        sf::Vector2f position;
        std::vector<K::Key> keys;
        sf::Vector2f moved;
    } cases[] = {
        {"corner, left", false, {125.f, 125.f}, {K::A}, {0.f, 0.f}},
        {"corner, left and down", false, {125.f, 125.f}, {K::A, K::S}, {0.f, 0.f}},
        {"corner, up", false, {125.f, 125.f}, {K::W}, {0.f, 0.f}},
        {"open, walks", true, {5.f, 5.f}, {K::D}, {WalkSpeed, 0.f}},
        {"open, off the left edge", true, {5.f, 5.f}, {K::A}, {0.f, 0.f}},
        {"open, off the top edge", true, {5.f, 5.f}, {K::W}, {0.f, 0.f}},
        {"open, off the bottom right corner", true, {width - 5.f, height - 5.f}, {K::D, K::S}, {0.f, 0.f}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(startWith(c.open ? TestMap(20, 12) : room())) << c.name;
        place(c.position);
        for (const K::Key key : c.keys)
            hold(key);
        step();
        EXPECT_EQ(moved(), c.moved) << c.name;
        std::fill(std::begin(ProgramProbe::keyDown(*program)), std::end(ProgramProbe::keyDown(*program)), false);
    }
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
    const auto add = [&](sf::Vector2f at, double heading) -> Hunter& {
        game->world().slot(0).monsters.push_back(std::make_unique<Hunter>(*game, at, heading));
        return static_cast<Hunter&>(*game->world().slot(0).monsters.back());
    };
    Hunter& nearHunter = add(hit + sf::Vector2f(0.f, 70.f), 90.0);
    Hunter& edgeHunter = add(hit + sf::Vector2f(0.f, -80.f), 270.0);
    Hunter& behindHunter = add(game->player().position() + sf::Vector2f(60.f, 0.f), 180.0);
    game->player().attack();
    step();
    EXPECT_EQ(nearHunter.life(), 0);
    EXPECT_EQ(edgeHunter.life(), 100);
    EXPECT_EQ(behindHunter.life(), 100) << "the blade does not land behind the player";
}

TEST_F(Player, FacesThePointerAndKeepsItsFacingWhenThePointerIsOnIt)
{
    // The pointer from the player, the facing and the body's rotation.
    const struct Case {
        const char* name;
        sf::Vector2f pointer;
        double facing;
        float rotation;
    } cases[] = {
        {"right", {300.f, 0.f}, -Pi, 90.f},
        {"below", {0.f, 300.f}, -Pi / 2, 180.f},
        {"up left", {-300.f, -300.f}, Pi / 4, 360.f - 45.f},
        {"on the player: the last facing stays", {0.f, 0.f}, Pi / 4, 360.f - 45.f},
    };
    const sf::Vector2f at = game->player().position();
    for (const Case& c : cases) {
        pointAt(at + c.pointer);
        step();
        EXPECT_DOUBLE_EQ(game->player().facing(), c.facing) << c.name;
        EXPECT_FLOAT_EQ(game->player().body().getRotation(), c.rotation) << c.name;
    }
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
    const EventHandler door = Events::handler(0, DoorPanelEvent);
    ASSERT_NE(door, nullptr);
    // The event number written to the cell (0: left alone) and the handler found there.
    const struct Case {
        const char* name;
        int column, row, event;
        EventHandler handler;
    } cases[] = {
        {"door panel", 1, 1, DoorPanelEvent, door},    {"1, not in the table", 2, 1, 1, nullptr},
        {"181, not in the table", 3, 1, 181, nullptr}, {"100000, not in the table", 4, 1, 100000, nullptr},
        {"left of the map", -1, 1, 0, nullptr},        {"below the map", 1, 12, 0, nullptr},
    };
    for (const Case& c : cases) {
        if (c.event != 0)
            game->world().slot(0).layers[EventLayer][c.row * 20 + c.column] = c.event;
        EXPECT_EQ(game->eventHandlerAt(c.column, c.row), c.handler) << c.name;
    }
    // Clicking such cells, or outside the map, is harmless.
    click(sf::Mouse::Left, 4 * 120 + 5 - static_cast<int>(game->world().camera().x),
          125 - static_cast<int>(game->world().camera().y));
    click(sf::Mouse::Left, 1919, 1079);
}

} // namespace
} // namespace testing
} // namespace vrk
