// The rules the difficulty changes, each situation played under the three difficulties: the
// figures expected come from the difficulty's row of rules.
#include "IngameFixture.hpp"
#include "monsters/MonsterProbe.hpp"

#include "game/monsters/Bullet.hpp"
#include "game/monsters/Hunter.hpp"

#include <cmath>

namespace vrk {
namespace testing {
namespace {

constexpr Difficulty Difficulties[] = {Difficulty::Easy, Difficulty::Normal, Difficulty::Classic};

// 24 x 22 cells walled round. A wall across row 8 with a closed door at column 12 and its panel
// beside it at column 11; a medical cabinet in the wall at (3, 4); a wall block at (20, 4); two
// hunters walled up in the top corners, so that the level is neither won nor lost.
TestMap difficultyRoom()
{
    std::vector<std::string> rows(22, std::string(24, '.'));
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 24; ++x)
            if (x == 0 || y == 0 || x == 23 || y == 21 || (y == 8 && x != 12) || (x == 3 && y == 4) ||
                (x == 20 && y == 4) || (x <= 2 && y <= 2) || (x >= 21 && y <= 2))
                rows[y][x] = '#';
    rows[1][1] = rows[1][22] = 'h';
    rows[8][12] = 'D';
    TestMap map(rows);
    map.set(EventLayer, 11, 8, 2); // door panel
    map.set(ObjectLayer, 3, 4, CabinetObject);
    map.start = sf::Vector2i(12, 5);
    return map;
}

class DifficultyRulesTest : public IngameTest {
protected:
    const DifficultyRules& rules() const { return DifficultyTable[static_cast<int>(program->settings().difficulty)]; }
    void startOn(Difficulty difficulty)
    {
        program->settings().difficulty = difficulty;
        ASSERT_TRUE(startWith(difficultyRoom()));
        // The pointer on the view's centre: no lead.
        ProgramProbe::mousePosition(*program) = sf::Vector2f(SceneWidth / 2.f, SceneHeight / 2.f);
    }
    Hunter& addHunter(sf::Vector2f at, double heading)
    {
        auto hunter = std::make_unique<Hunter>(*game, at, heading);
        Hunter& added = *hunter;
        game->world().map().monsters.push_back(std::move(hunter));
        return added;
    }
    void activate(int column, int row)
    {
        program->setCursor(ActivateCursor);
        const sf::Vector2f at = screen(centre(column, row));
        click(sf::Mouse::Left, static_cast<int>(at.x), static_cast<int>(at.y));
    }
    int lost() const { return rules().maxLife - game->player().life(); }
    // Starts on the difficulty with the player in the middle of the room's open part, the view on
    // him; returns his place.
    sf::Vector2f startInMiddle(Difficulty difficulty)
    {
        startOn(difficulty);
        const sf::Vector2f here = centre(12, 14);
        game->player().placeAt(here);
        game->followCamera();
        return here;
    }
    // The next case of a table on the same start: the cases' hunters gone, the swing over, the
    // player back at `at` unhurt and unguarded.
    void nextCase(sf::Vector2f at)
    {
        auto& monsters = game->world().map().monsters;
        monsters.resize(std::min<std::size_t>(monsters.size(), 2));
        // As a stop does when the game destroys its hunters: the HUD's marks point at them.
        game->hud().restart();
        step(SwingSteps);
        game->player().placeAt(at);
        game->player().guardFor(0);
        setLife(rules().maxLife);
        game->followCamera();
    }
};

TEST_F(DifficultyRulesTest, EachSituationFollowsTheRulesOfEachDifficulty)
{
    for (const Difficulty difficulty : Difficulties) {
        SCOPED_TRACE(difficultyName(difficulty));

        // A touch, and a second one within the guarded time.
        startOn(difficulty);
        const bool fair = !rules().touchEveryStep;
        EXPECT_EQ(game->player().life(), rules().maxLife);
        const sf::Vector2f here = centre(12, 14);
        game->player().placeAt(here);
        addHunter(here + sf::Vector2f(4.f, 0.f), 90.0);
        step();
        EXPECT_EQ(lost(), HunterTouchDamage);
        EXPECT_NEAR(game->player().position().x, here.x - rules().touchPush, 1.f);
        EXPECT_EQ(game->player().guarded(), fair);
        game->player().placeAt(here);
        step();
        EXPECT_EQ(lost(), fair ? HunterTouchDamage : 2 * HunterTouchDamage);
        if (fair) {
            // Blinking while guarded, and hurt again on the step the guard is over, still in touch.
            int hidden = 0;
            int steps = 0;
            for (; lost() == HunterTouchDamage && steps < 2 * GuardSteps; ++steps) {
                hidden += game->player().blinkedOut() ? 1 : 0;
                game->player().placeAt(here);
                step();
            }
            EXPECT_GT(hidden, 0);
            EXPECT_EQ(lost(), 2 * HunterTouchDamage);
            EXPECT_EQ(steps, rules().guardSteps - 1);
        }

        // A bullet, and a second one on the next step.
        startOn(difficulty);
        game->player().placeAt(here);
        for (const float from : {30.f, 55.f})
            game->world().addBullet(std::make_unique<Bullet>(*game, here - sf::Vector2f(from, 0.f), 0.0));
        step(2);
        EXPECT_EQ(lost(), fair ? BulletDamage : 2 * BulletDamage);
        EXPECT_EQ(game->player().guardSteps(), fair ? rules().guardSteps - 1 : 0);

        // A hunter outside the view, facing the player with nothing between them.
        startOn(difficulty);
        game->player().placeAt(centre(12, 10));
        game->followCamera();
        Hunter& below = addHunter(centre(12, 17) + sf::Vector2f(0.f, 50.f), -90.0);
        ASSERT_LT(std::hypot(0.f, below.position().y - game->player().position().y), HunterSightDistance);
        ASSERT_GT(below.position().y, game->world().camera().y + SceneHeight);
        const int interval = rules().hunterFireInterval;
        step(interval);
        EXPECT_EQ(below.chasing(), !rules().hunterSightInView);
        EXPECT_EQ(game->world().map().bullets.size(), rules().hunterSightInView ? 0u : 1u);

        // Walking down-right into a wall at its right.
        startOn(difficulty);
        const sf::Vector2f byWall = centre(19, 4) + sf::Vector2f(50.f, 0.f);
        game->player().placeAt(byWall);
        hold(sf::Keyboard::D);
        hold(sf::Keyboard::S);
        step();
        hold(sf::Keyboard::D, false);
        hold(sf::Keyboard::S, false);
        EXPECT_EQ(game->player().position().x, byWall.x);
        EXPECT_EQ(game->player().position().y, byWall.y + (rules().slideAlongWalls ? WalkSpeed : 0));

        // A medical cabinet, used twice.
        startOn(difficulty);
        game->player().placeAt(centre(4, 4));
        setLife(100);
        const int chimes = game->audio().timesAsked(HealSound);
        activate(3, 4);
        EXPECT_EQ(game->player().life(), 100 + rules().cabinetHeal);
        activate(3, 4);
        EXPECT_EQ(game->player().life(), 100 + rules().cabinetHeal);
        EXPECT_EQ(game->usedCabinets().size(), rules().cabinetHeal > 0 ? 1u : 0u);
        EXPECT_EQ(game->audio().timesAsked(HealSound) - chimes, rules().cabinetHeal > 0 ? 1 : 0);
        if (difficulty == Difficulty::Normal) {
            // Used, it shows the grey plate over its cross, in the light turned toward it.
            pointAt(centre(3, 4));
            step();
            game->draw();
            program->scene().display();
            const sf::Vector2f at = screen(centre(3, 4));
            const sf::Color seen = program->scene().getTexture().copyToImage().getPixel(
                static_cast<unsigned>(at.x), static_cast<unsigned>(at.y));
            EXPECT_NEAR(seen.r, UsedCabinetGrey.r, 12);
            EXPECT_NEAR(seen.g, UsedCabinetGrey.g, 12);
            EXPECT_NEAR(seen.b, UsedCabinetGrey.b, 12);
        }

        // A death after a door: the checkpoint on the easier rules, the level's start on classic,
        // and never the opening conversation again.
        startOn(difficulty);
        const sf::Vector2f byPanel = centre(11, 7) + sf::Vector2f(0.f, 20.f);
        game->player().placeAt(byPanel);
        setLife(40);
        game->world().map().monsters[0]->damage(HunterLife);
        activate(11, 8);
        step(DoorSteps + 1);
        ASSERT_EQ(game->world().map().value(WallLayer, 12, 8), OpenDoor);
        EXPECT_EQ(game->checkpoint().kept, rules().checkpoints);
        EXPECT_EQ(game->player().life(), rules().checkpoints ? rules().maxLife / 2 : 40);
        setLife(0);
        press(sf::Keyboard::Space);
        ASSERT_TRUE(game->player().alive());
        step(OpeningDialogueDelay + 2);
        EXPECT_FALSE(game->dialogue().running());
        const MapRecord& map = game->world().map();
        if (rules().checkpoints) {
            EXPECT_EQ(game->player().position(), byPanel);
            EXPECT_EQ(game->player().life(), rules().maxLife / 2);
            EXPECT_EQ(map.value(WallLayer, 12, 8), OpenDoor);
            EXPECT_EQ(map.monsters[0]->life(), 0);
            EXPECT_EQ(map.monsters[1]->life(), HunterLife);
        } else {
            EXPECT_EQ(game->player().position(), centre(12, 5));
            EXPECT_EQ(game->player().life(), rules().maxLife);
            EXPECT_EQ(map.value(WallLayer, 12, 8), ClosedDoor);
        }
    }
}

// On the easier rules a hunter struck down and a cabinet used keep checkpoints too, and a death
// gives back that moment: the hunters fallen, the cabinets used, the map as it was seen.
TEST_F(DifficultyRulesTest, AHunterDownAndACabinetUsedKeepCheckpointsThatAResumeGivesBack)
{
    for (const Difficulty difficulty : Difficulties) {
        SCOPED_TRACE(difficultyName(difficulty));
        startOn(difficulty);
        const sf::Vector2f here = centre(12, 14);
        game->player().placeAt(here);
        Monster& struck = *game->world().map().monsters[0];
        MonsterProbe::position(struck) = here + sf::Vector2f(60.f, 0.f);
        program->setCursor(AttackCursor);
        pointAt(struck.position());
        const sf::Vector2f at = screen(struck.position());
        click(sf::Mouse::Left, static_cast<int>(at.x), static_cast<int>(at.y));
        step();
        ASSERT_EQ(struck.life(), 0);
        EXPECT_EQ(game->checkpoint().kept, rules().checkpoints);
        EXPECT_EQ(game->checkpoint().place, rules().checkpoints ? here : sf::Vector2f());

        const sf::Vector2f byCabinet = centre(4, 4);
        game->player().placeAt(byCabinet);
        setLife(40);
        activate(3, 4);
        const bool healing = rules().cabinetHeal > 0;
        EXPECT_EQ(game->checkpoint().place, rules().checkpoints ? byCabinet : sf::Vector2f());
        const int seen = game->exploredMap().seenCells(0);
        // Seen after the checkpoint: forgotten by the resume.
        game->player().placeAt(centre(18, 17));
        step(2);
        ASSERT_GT(game->exploredMap().seenCells(0), seen);

        setLife(0);
        press(sf::Keyboard::Space);
        ASSERT_TRUE(game->player().alive());
        const MapRecord& map = game->world().map();
        if (!rules().checkpoints) {
            EXPECT_EQ(map.monsters[0]->life(), HunterLife);
            EXPECT_TRUE(game->usedCabinets().empty());
            continue;
        }
        EXPECT_EQ(game->player().position(), byCabinet);
        EXPECT_EQ(game->player().life(), std::max(40 + rules().cabinetHeal, rules().maxLife / 2));
        EXPECT_EQ(map.monsters[0]->life(), 0);
        EXPECT_EQ(map.monsters[1]->life(), HunterLife);
        EXPECT_EQ(game->usedCabinets().size(), healing ? 1u : 0u);
        EXPECT_EQ(game->exploredMap().seenCells(0), seen);
    }
}

TEST_F(DifficultyRulesTest, EasyHealsSlowlyOutOfCombatOnly)
{
    startOn(Difficulty::Easy);
    setLife(100);
    step(rules().calmSteps - 1);
    EXPECT_EQ(game->player().life(), 100);
    step(rules().healEvery * 5);
    EXPECT_EQ(game->player().life(), 100 + 5);
    // A hit starts the calm over.
    game->hitPlayer(BulletDamage, nullptr);
    step(rules().calmSteps - 1);
    EXPECT_EQ(game->player().life(), 100 + 5 - BulletDamage);
}

TEST_F(DifficultyRulesTest, TheViewLeadsTowardThePointerByAQuarterAtMost)
{
    startOn(Difficulty::Normal);
    game->player().placeAt(centre(8, 14));
    game->followCamera();
    const sf::Vector2f centred = game->world().camera();
    ProgramProbe::mousePosition(*program) = sf::Vector2f(SceneWidth, SceneHeight / 2.f); // the right edge
    step(60);
    EXPECT_NEAR(game->world().camera().x - centred.x, SceneWidth * CameraLeadLimit, 1.f);
    EXPECT_NEAR(game->world().camera().y, centred.y, 1.f);
    // A spotting beyond the view's edge shows its mark inside it.
    const sf::Vector2u size(SceneWidth, SceneHeight);
    const sf::Vector2f outside = spottedMarkPlace(sf::Vector2f(SceneWidth + 300.f, SceneHeight + 300.f), size);
    EXPECT_LT(outside.x, static_cast<float>(SceneWidth));
    EXPECT_LT(outside.y, static_cast<float>(SceneHeight));
}

// A hunter running at the player from the left that stops a little past the player's centre
// hits from the left: the marker points where it came from.
TEST_F(DifficultyRulesTest, ATouchMarksTheSideTheHunterCameFrom)
{
    startOn(Difficulty::Classic);
    const sf::Vector2f here = centre(12, 14);
    game->player().placeAt(here);
    Hunter& hunter = addHunter(here + sf::Vector2f(3.f, 0.f), 0.0);
    MonsterProbe::chasing(hunter) = true;
    MonsterProbe::target(hunter) = here;
    step();
    ASSERT_EQ(lost(), HunterTouchDamage);
    EXPECT_NEAR(std::fabs(game->hud().markerAngle()), Pi, 0.01);
}

// The eight sides a hunter can come from, and the four ways the player can aim.
sf::Vector2f side(int eighth)
{
    const double radians = eighth * Pi / 4.0;
    return sf::Vector2f(static_cast<float>(std::cos(radians)), static_cast<float>(std::sin(radians)));
}

// A hunter runs at the player from each side: on the easier rules it stops at his body (pushed
// out, never overlapping), on classic it runs onto him as the first rules have it; either way its
// touch hurts.
TEST_F(DifficultyRulesTest, AHunterRunningIntoThePlayerFromEverySide)
{
    for (const Difficulty difficulty : Difficulties) {
        const sf::Vector2f here = startInMiddle(difficulty);
        for (int eighth = 0; eighth < 8; ++eighth) {
            SCOPED_TRACE(std::string(difficultyName(difficulty)) + " from side " + std::to_string(eighth));
            nextCase(here);
            const sf::Vector2f from = side(eighth);
            Hunter& hunter = addHunter(here + from * 200.f, toDegrees(std::atan2(-from.y, -from.x)));
            MonsterProbe::chasing(hunter) = true;
            MonsterProbe::target(hunter) = here;
            float nearest = 1e9f;
            for (int i = 0; i < 40; ++i) {
                step();
                const sf::Vector2f d = hunter.position() - game->player().position();
                nearest = std::min(nearest, std::hypot(d.x, d.y));
            }
            EXPECT_GE(lost(), HunterTouchDamage);
            if (rules().bodyGap > 0.f)
                EXPECT_GE(nearest, rules().bodyGap - 0.01f);
            else
                EXPECT_LT(nearest, 10.f);
        }
    }
}

// A strike reaches a hunter standing on the player or touching him, whichever way the player
// aims, on the swing's first step; on the easier rules the hunter's bump pushes him away in that
// very step, and the swing still lands.
TEST_F(DifficultyRulesTest, AStrikeReachesAHunterOnThePlayerOrTouchingHim)
{
    for (const Difficulty difficulty : Difficulties) {
        const sf::Vector2f here = startInMiddle(difficulty);
        for (int aim = 0; aim < 8; aim += 2)
            for (int eighth = -1; eighth < 8; ++eighth) {
                // Side -1: standing on the player's centre, having run in from behind him along
                // the aim, as a hunter out of the cone does (the bump throws him forward, past it).
                SCOPED_TRACE(std::string(difficultyName(difficulty)) + " aiming " + std::to_string(aim) + ", side " +
                             std::to_string(eighth));
                nextCase(here);
                const sf::Vector2f from = eighth < 0 ? side(aim) : side(eighth);
                const float distance = eighth < 0 ? 0.f : touchReach(rules()) - 2.f;
                const sf::Vector2f run = eighth < 0 ? from : -from;
                Hunter& hunter = addHunter(here + from * distance, toDegrees(std::atan2(run.y, run.x)));
                MonsterProbe::chasing(hunter) = true;
                MonsterProbe::target(hunter) = here;
                const sf::Vector2f pointer = screen(here + side(aim) * 300.f);
                pointAt(here + side(aim) * 300.f);
                game->player().face(aim * Pi / 4.0 + Pi); // from the pointer to the player
                click(sf::Mouse::Left, static_cast<int>(pointer.x), static_cast<int>(pointer.y));
                step();
                EXPECT_EQ(hunter.life(), 0);
            }
    }
}

bool inView(sf::Vector2f place, sf::Vector2f camera)
{
    return place.x >= camera.x && place.y >= camera.y && place.x < camera.x + SceneWidth &&
           place.y < camera.y + SceneHeight;
}

// Hunters all over the room, every one facing the player, chasing him and ready to fire, while
// the view swings right then left with the pointer: on the easier rules every shot comes from a
// hunter inside the view shown after that step; on classic some come from outside it.
TEST_F(DifficultyRulesTest, NoHunterOutsideTheViewFires)
{
    for (const Difficulty difficulty : Difficulties) {
        SCOPED_TRACE(difficultyName(difficulty));
        const sf::Vector2f here = startInMiddle(difficulty);
        std::vector<Hunter*> hunters;
        for (int row = 10; row <= 20; row += 2)
            for (int column = 1; column <= 22; column += 3) {
                const sf::Vector2f at = centre(column, row);
                const sf::Vector2f d = here - at;
                if (std::hypot(d.x, d.y) < 2 * TileSize)
                    continue;
                Hunter& hunter = addHunter(at, toDegrees(std::atan2(d.y, d.x)));
                MonsterProbe::chasing(hunter) = true;
                MonsterProbe::target(hunter) = here;
                hunters.push_back(&hunter);
            }
        int inside = 0;
        int outside = 0;
        for (int i = 0; i < 60; ++i) {
            ProgramProbe::mousePosition(*program) = sf::Vector2f(i < 30 ? SceneWidth - 1.f : 0.f, SceneHeight / 2.f);
            // Every hunter that sees the player this step fires.
            for (Hunter* hunter : hunters)
                MonsterProbe::fireTimer(*hunter) = 1;
            game->player().guardFor(GuardSteps); // alive throughout
            step();
            for (Hunter* hunter : hunters)
                if (hunter->fireTimer() == rules().hunterFireInterval)
                    ++(inView(hunter->position(), game->world().camera()) ? inside : outside);
        }
        EXPECT_GT(inside, 0);
        if (rules().hunterSightInView)
            EXPECT_EQ(outside, 0);
        else
            EXPECT_GT(outside, 0);
    }
}

// A shot fired from inside the view flies on after its hunter leaves the view, and when it hurts
// the marker points at where that hunter is now, off the screen (on classic: where it was fired).
TEST_F(DifficultyRulesTest, AShotWhoseHunterLeftTheViewFliesOnAndMarksTheHunter)
{
    for (const Difficulty difficulty : Difficulties) {
        SCOPED_TRACE(difficultyName(difficulty));
        const sf::Vector2f here = startInMiddle(difficulty);
        // To the player's left, inside the view; it fires on its next look.
        Hunter& hunter = addHunter(here - sf::Vector2f(500.f, 0.f), 0.0);
        MonsterProbe::fireTimer(hunter) = 1;
        step();
        ASSERT_EQ(game->world().map().bullets.size(), 1u);
        // Gone beyond the view's bottom edge, its back turned.
        const sf::Vector2f away = game->world().camera() + sf::Vector2f(300.f, SceneHeight + 200.f);
        MonsterProbe::position(hunter) = away;
        MonsterProbe::heading(hunter) = 90.0;
        MonsterProbe::chasing(hunter) = false;
        int steps = 0;
        for (; game->player().life() == rules().maxLife && steps < 30; ++steps)
            step();
        EXPECT_EQ(lost(), BulletDamage);
        EXPECT_EQ(game->world().map().bullets.size(), 0u);
        const sf::Vector2f towards = rules().readableThreats ? away - game->player().position()
                                                             : sf::Vector2f(-1.f, 0.f); // where it was fired
        EXPECT_NEAR(game->hud().markerAngle(), std::atan2(towards.y, towards.x), 0.01);
    }
}

} // namespace
} // namespace testing
} // namespace vrk
