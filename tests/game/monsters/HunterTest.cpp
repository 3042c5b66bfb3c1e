#include "game/monsters/Bullet.hpp"
#include "game/monsters/Hunter.hpp"
#include "TestWorld.hpp"

#include <cmath>

namespace vrk {
namespace testing {
namespace {

class HunterTest : public TestWorld {
protected:
    // A point at `distance` from the hunter, `degrees` off its heading.
    sf::Vector2f around(const Hunter& hunter, double distance, double degrees)
    {
        const double angle = toRadians(hunter.heading() + degrees);
        return sf::Vector2f(static_cast<float>(hunter.position().x + distance * std::cos(angle)),
                            static_cast<float>(hunter.position().y + distance * std::sin(angle)));
    }
};

// ---- the look ----

// Each row a fresh hunter heading along +x, the player at a distance and angle off that heading,
// and at most one wall cell set for the row.
TEST_F(HunterTest, SeesWithinRangeAndFieldOfViewUnlessAWallOrClosedDoorStandsBetween)
{
    const struct {
        const char* what;
        sf::Vector2f hunter;
        double distance, degrees;
        int column, row, wall; // wall 0: none set
        bool byLook;           // look() rather than canSee(), as a chase would ask
        bool seen;
    } cases[] = {
        {"900 ahead is out of range", {300.f, 700.f}, 900.0, 0.0, 0, 0, 0, true, false},
        {"899 ahead is seen", {300.f, 700.f}, 899.0, 0.0, 0, 0, 0, true, true},
        {"86 degrees left", {1200.f, 700.f}, 400.0, 86.0, 0, 0, 0, false, false},
        {"86 degrees right", {1200.f, 700.f}, 400.0, -86.0, 0, 0, 0, false, false},
        {"85 degrees left", {1200.f, 700.f}, 400.0, 85.0, 0, 0, 0, false, true},
        {"85 degrees right", {1200.f, 700.f}, 400.0, -85.0, 0, 0, 0, false, true},
        {"behind", {1200.f, 700.f}, 400.0, 180.0, 0, 0, 0, false, false},
        {"nothing between", {300.f, 660.f}, 600.0, 0.0, 0, 0, 0, false, true},
        {"a wall between", {300.f, 660.f}, 600.0, 0.0, 5, 5, WallCell, false, false},
        {"a closed door between", {300.f, 660.f}, 600.0, 0.0, 5, 5, ClosedDoor, false, false},
        {"an open door between", {300.f, 660.f}, 600.0, 0.0, 5, 5, OpenDoor, false, true},
        // The player standing in a closed door, cell (7, 5), is never seen: even from the next
        // cell, where the only sample inside the door is the last one.
        {"in a closed door", {300.f, 660.f}, 540.0, 0.0, 7, 5, ClosedDoor, true, false},
        {"in a closed door, next cell", {780.f, 660.f}, 60.0, 0.0, 7, 5, ClosedDoor, true, false},
    };
    for (const auto& c : cases) {
        Hunter& hunter = add<Hunter>(c.hunter.x, c.hunter.y, 0.0);
        game->player().placeAt(around(hunter, c.distance, c.degrees));
        if (c.wall != 0)
            setWall(c.column, c.row, c.wall);
        EXPECT_EQ(c.byLook ? hunter.look() : hunter.canSee(game->player().position()), c.seen) << c.what;
        EXPECT_EQ(hunter.chasing(), c.byLook && c.seen) << c.what;
        if (c.wall != 0)
            setWall(c.column, c.row, 0);
    }
    // Seeing starts the chase toward where the player stands.
    Hunter& hunter = add<Hunter>(300.0f, 700.0f, 0.0);
    game->player().placeAt(sf::Vector2f(300.0f + 899.0f, 700.0f));
    ASSERT_TRUE(hunter.look());
    EXPECT_EQ(hunter.target(), game->player().position());
}

TEST_F(HunterTest, SeeingTurnsTheHunterTowardThePlayer)
{
    Hunter& hunter = add<Hunter>(1200.0f, 700.0f, 90.0);
    game->player().placeAt(sf::Vector2f(1200.0f, 1000.0f));
    ASSERT_TRUE(hunter.look());
    EXPECT_NEAR(hunter.heading(), 90.0, 1e-9);
    MonsterProbe::heading(hunter) = 45.0;
    game->player().placeAt(sf::Vector2f(1500.0f, 1000.0f));
    ASSERT_TRUE(hunter.look());
    EXPECT_NEAR(hunter.heading(), 45.0, 1e-9);
    MonsterProbe::heading(hunter) = 180.0;
    game->player().placeAt(sf::Vector2f(700.0f, 700.0f));
    ASSERT_TRUE(hunter.look());
    EXPECT_EQ(hunter.heading(), -180.0);
}

TEST_F(HunterTest, StandingOnThePlayerKeepsAUsableHeading)
{
    Hunter& hunter = add<Hunter>(1200.0f, 700.0f, 30.0);
    game->player().placeAt(hunter.position());
    ASSERT_TRUE(hunter.look());
    EXPECT_EQ(hunter.heading(), 30.0);
}

// ---- the gun ----

TEST_F(HunterTest, FiresOnThe20thStepInSightAndEvery20After)
{
    Hunter& hunter = add<Hunter>(300.0f, 700.0f, 0.0);
    game->player().placeAt(sf::Vector2f(1100.0f, 700.0f));
    for (int step = 1; step <= 40; ++step) {
        hunter.step();
        const std::size_t expected = step < 20 ? 0 : step < 40 ? 1 : 2;
        ASSERT_EQ(map().bullets.size(), expected) << "step " << step;
    }
    const Bullet& bullet = static_cast<const Bullet&>(*map().bullets.front());
    EXPECT_NEAR(bullet.heading(), 0.0, 1e-6);
    EXPECT_EQ(bullet.shooter(), &hunter);
    EXPECT_EQ(hunter.fireTimer(), 20);
}

TEST_F(HunterTest, DoesNotFireWhenThePlayerIsDeadAndNeverAgain)
{
    Hunter& hunter = add(HunterKind::Horizontal, 300.0f, 700.0f, 0.0);
    MonsterProbe::chasing(hunter) = true; // no patrol steps: keep the hunter where it is
    game->player().placeAt(sf::Vector2f(1100.0f, 700.0f));
    MonsterProbe::fireTimer(hunter) = 1;
    setLife(0);
    hunter.look();
    EXPECT_TRUE(map().bullets.empty());
    EXPECT_EQ(hunter.fireTimer(), 0);
    setLife(StartLife);
    for (int i = 0; i < 30; ++i)
        hunter.look();
    EXPECT_TRUE(map().bullets.empty());
    EXPECT_EQ(hunter.fireTimer(), -30);
}

TEST_F(HunterTest, GunOnlyCountsWhileThePlayerIsSeen)
{
    Hunter& hunter = add<Hunter>(300.0f, 700.0f, 0.0);
    game->player().placeAt(sf::Vector2f(1300.0f, 700.0f)); // 1000 away
    for (int i = 0; i < 30; ++i)
        hunter.look();
    EXPECT_EQ(hunter.fireTimer(), 20);
    EXPECT_TRUE(map().bullets.empty());
}

// ---- turning, chasing, touching ----

TEST_F(HunterTest, TurningHunterTurns2DegreesAStepAndRestsOnceThePlayerIsDead)
{
    Hunter& hunter = add<Hunter>(600.0f, 600.0f, 359.0);
    hunter.step();
    EXPECT_NEAR(hunter.heading(), 1.0, 1e-9);
    hunter.step();
    EXPECT_NEAR(hunter.heading(), 3.0, 1e-9);
    setLife(0);
    hunter.step();
    EXPECT_NEAR(hunter.heading(), 3.0, 1e-9);
}

TEST_F(HunterTest, ChaseRunsToTheTargetAndHurtsOnArrival)
{
    Hunter& hunter = add<Hunter>(600.0f, 660.0f, 0.0);
    MonsterProbe::chasing(hunter) = true;
    MonsterProbe::target(hunter) = sf::Vector2f(630.0f, 660.0f);
    hunter.step(); // 18 from the target
    EXPECT_FLOAT_EQ(hunter.position().x, 612.0f);
    hunter.step(); // 6 from the target
    EXPECT_FLOAT_EQ(hunter.position().x, 624.0f);
    EXPECT_EQ(game->player().life(), StartLife);
    game->player().placeAt(sf::Vector2f(619.0f, 660.0f)); // within reach, behind its back
    hunter.step();
    EXPECT_EQ(game->player().life(), StartLife - HunterTouchDamage);
    EXPECT_FALSE(hunter.chasing());
    EXPECT_FLOAT_EQ(hunter.position().x, 624.0f);
    EXPECT_EQ(hunter.frame(), 2);
}

TEST_F(HunterTest, AHunterReachingAnEmptyTargetDoesNoHarm)
{
    Hunter& hunter = add<Hunter>(624.0f, 660.0f, 0.0);
    MonsterProbe::chasing(hunter) = true;
    MonsterProbe::target(hunter) = sf::Vector2f(630.0f, 660.0f);
    game->player().placeAt(sf::Vector2f(614.0f, 660.0f)); // 10 away behind it: just out of reach
    hunter.step();
    EXPECT_EQ(game->player().life(), StartLife);
    EXPECT_FALSE(hunter.chasing());                             // back to idle
    game->player().placeAt(sf::Vector2f(10000.0f, 10000.0f)); // far away
    MonsterProbe::chasing(hunter) = true;
    hunter.step();
    EXPECT_EQ(game->player().life(), StartLife);
    EXPECT_FALSE(hunter.chasing());
}

TEST_F(HunterTest, ChaseStopsAtWalls)
{
    Hunter& hunter = add<Hunter>(230.0f, 660.0f, 180.0); // cell 1; cell 0 is a wall
    MonsterProbe::chasing(hunter) = true;
    MonsterProbe::target(hunter) = sf::Vector2f(-500.0f, 660.0f);
    for (int i = 0; i < 9; ++i)
        hunter.step(); // 230 down to 122 by 12
    EXPECT_FLOAT_EQ(hunter.position().x, 122.0f);
    hunter.step(); // 110 is in the wall
    EXPECT_FLOAT_EQ(hunter.position().x, 122.0f);
    EXPECT_TRUE(hunter.chasing());
    EXPECT_EQ(hunter.frame(), 4); // the legs move even against the wall
}

TEST_F(HunterTest, TouchingTheTurningHunterCosts50AndEndsTheStep)
{
    // After its turn the hunter faces the player: only an early end keeps it from seeing it.
    Hunter& hunter = add<Hunter>(600.0f, 600.0f, -2.0);
    game->player().placeAt(sf::Vector2f(605.0f, 600.0f));
    hunter.step();
    EXPECT_EQ(game->player().life(), 290);
    EXPECT_FALSE(hunter.chasing());
    EXPECT_EQ(hunter.fireTimer(), 20);
}

// ---- patrols ----

TEST_F(HunterTest, SquarePatrolGoesDownLeftUpRightAndRound)
{
    Hunter& hunter = add(HunterKind::Square, 660.0f, 660.0f, 90.0);
    // The room is columns 1..18 and rows 1..10: x 120..2279, y 120..1319.
    const sf::Vector2f corners[] = {{660, 1315}, {120, 1315}, {120, 120}, {2275, 120}, {2275, 1315}};
    double heading = 90.0;
    int turns = 0;
    for (const sf::Vector2f& corner : corners) {
        const double direction = hunter.patrolDirection();
        int steps = 0;
        while (hunter.patrolDirection() == direction && steps < 1000) {
            hunter.step();
            ++steps;
        }
        ++turns;
        heading = std::fmod(heading + 90.0, 360.0);
        EXPECT_EQ(hunter.position(), corner) << "turn " << turns;
        EXPECT_EQ(hunter.patrolDirection(), turns % 4) << "turn " << turns;
        EXPECT_NEAR(hunter.heading(), heading, 1e-9) << "turn " << turns;
    }
    EXPECT_FALSE(hunter.chasing());
}

TEST_F(HunterTest, HorizontalAndVerticalPatrolsReverseWith180)
{
    Hunter& across = add(HunterKind::Horizontal, 2260.0f, 300.0f, 90.0);
    across.step(); // 2265
    across.step(); // 2270
    across.step(); // 2275
    across.step(); // 2280 is the wall: turn
    EXPECT_FLOAT_EQ(across.position().x, 2275.0f);
    EXPECT_EQ(across.patrolDirection(), 1.0);
    EXPECT_NEAR(across.heading(), 270.0, 1e-9);
    across.step();
    EXPECT_FLOAT_EQ(across.position().x, 2270.0f);

    Hunter& down = add(HunterKind::Vertical, 1000.0f, 1310.0f, 90.0);
    down.step(); // 1315
    down.step(); // 1320 is the wall: turn
    EXPECT_FLOAT_EQ(down.position().y, 1315.0f);
    EXPECT_EQ(down.patrolDirection(), 1.0);
    EXPECT_NEAR(down.heading(), 270.0, 1e-9);
    for (int i = 0; i < 239; ++i)
        down.step(); // up to 120, the top of the room
    EXPECT_FLOAT_EQ(down.position().y, 120.0f);
    down.step();
    EXPECT_FLOAT_EQ(down.position().y, 120.0f);
    EXPECT_EQ(down.patrolDirection(), 0.0);
    EXPECT_NEAR(down.heading(), 90.0, 1e-9); // 450 wraps to 90
}

TEST_F(HunterTest, PatrolContactCosts50EveryStepTogether)
{
    Hunter& hunter = add(HunterKind::Horizontal, 600.0f, 600.0f, 90.0);
    for (int step = 1; step <= 3; ++step) {
        game->player().placeAt(hunter.position());
        hunter.step();
        EXPECT_EQ(game->player().life(), StartLife - HunterTouchDamage * step);
    }
    // Patrols go on after the player's death.
    setLife(-10);
    const float x = hunter.position().x;
    game->player().placeAt(sf::Vector2f(10000.0f, 10000.0f));
    hunter.step();
    EXPECT_FLOAT_EQ(hunter.position().x, x + 5.0f);
}

TEST_F(HunterTest, PatrollerSeeingThePlayerStartsTheChase)
{
    Hunter& hunter = add(HunterKind::Vertical, 600.0f, 300.0f, 90.0);
    game->player().placeAt(sf::Vector2f(600.0f, 900.0f));
    hunter.step();
    EXPECT_TRUE(hunter.chasing());
    EXPECT_FLOAT_EQ(hunter.position().y, 305.0f);
    hunter.step(); // now a chase step of 12
    EXPECT_FLOAT_EQ(hunter.position().y, 317.0f);
}

TEST_F(HunterTest, OffTheMapCountsAsBlocked)
{
    makeMap(Columns, Rows, false);
    Hunter& hunter = add(HunterKind::Horizontal, 2395.0f, 300.0f, 90.0);
    hunter.step(); // 2400 is off the map
    EXPECT_FLOAT_EQ(hunter.position().x, 2395.0f);
    EXPECT_EQ(hunter.patrolDirection(), 1.0);
    EXPECT_TRUE(hunter.blockedAt(-0.5, 300.0));
    EXPECT_TRUE(hunter.blockedAt(300.0, -0.5));
    EXPECT_FALSE(hunter.blockedAt(0.0, 0.0));
}

} // namespace
} // namespace testing
} // namespace vrk
