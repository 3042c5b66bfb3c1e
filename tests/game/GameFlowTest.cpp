#include "IngameFixture.hpp"

#include "game/monsters/Bullet.hpp"
#include "game/monsters/Hunter.hpp"

#include <fstream>

namespace vrk {
namespace testing {
namespace {

const std::string VictoryLine("Victory. Press space to restart.");

// 20 x 12 room with two hunters walled up in corners (alive, out of sight) unless `empty`.
TestMap room(bool empty = false)
{
    if (!empty)
        return roomWithWalledUpHunters(20, 12);
    std::vector<std::string> rows(12, "#..................#");
    rows.front() = rows.back() = std::string(20, '#');
    return TestMap(rows);
}

class GameFlow : public IngameTest {
protected:
    void SetUp() override
    {
        IngameTest::SetUp();
        ASSERT_TRUE(startWith(room()));
        game->player().placeAt(centre(9, 6));
    }
    std::vector<std::string> log() const
    {
        std::vector<std::string> lines;
        for (const sf::Text& text : game->log().lines())
            lines.push_back(text.getString().toAnsiString());
        return lines;
    }
};

TEST_F(GameFlow, TheLogKeepsThreeLinesAndEmptiesAHundredStepsAfterTheNewest)
{
    for (const char* text : {"one", "two", "three"})
        game->addMessage(text);
    step(40);
    game->addMessage("four");
    EXPECT_EQ(log(), (std::vector<std::string>{"two", "three", "four"}));
    EXPECT_EQ(game->log().lines().back().getCharacterSize(), 50u);
    step(99);
    EXPECT_EQ(log().size(), 3u);
    step();
    EXPECT_TRUE(log().empty());
    // Nothing more happens to an empty log.
    step(200);
    EXPECT_TRUE(log().empty());
}

TEST_F(GameFlow, TasksRunOncePerStepUntilTheyReportCompletion)
{
    static int calls;
    calls = 0;
    game->tasks().schedule(
        [](GameContext&, std::vector<int>& parameters) {
            ++calls;
            return --parameters[1] == 0;
        },
        {7, 3});
    ASSERT_EQ(game->tasks().size(), 1u);
    step();
    EXPECT_EQ(game->tasks().pending().front().parameters, (std::vector<int>{7, 2}));
    step(2);
    EXPECT_TRUE(game->tasks().empty());
    step();
    EXPECT_EQ(calls, 3);
}

TEST_F(GameFlow, SpaceAndReturnAdvanceTheConversationAndTabEndsIt)
{
    program->languageDocument().child("_INITIAL_00_Maverick").setString("Where am I?");
    ASSERT_TRUE(startWith(room(), true));
    step(OpeningDialogueDelay + 1 + 216 / BoxOpenSpeed + 1);
    ASSERT_TRUE(game->dialogue().running());
    ASSERT_LT(game->dialogue().charsShown(), 11.0);
    press(sf::Keyboard::Space);
    EXPECT_EQ(game->dialogue().charsShown(), 11.0); // the whole line
    press(sf::Keyboard::Return);
    EXPECT_EQ(game->dialogue().entry(), 1);
    press(sf::Keyboard::Tab);
    EXPECT_EQ(game->dialogue().scriptId(), ClosingScript);
    EXPECT_EQ(log().back(), "Welcome."); // the help line's action still took effect
    EXPECT_EQ(program->cursor(), AttackCursor);
    step(40);
    EXPECT_FALSE(game->dialogue().running());
    EXPECT_EQ(game->player().life(), StartLife); // Space in a conversation restarts nothing
}

TEST_F(GameFlow, TheOpeningConversationStartsOnTheFiftyFirstStep)
{
    game->tasks().schedule(&Dialogue::openingTask, {50});
    step(50);
    EXPECT_FALSE(game->dialogue().running());
    step();
    EXPECT_TRUE(game->dialogue().running());
    EXPECT_EQ(program->cursor(), 4);

    // The world stands still while people talk.
    const sf::Vector2f before = game->player().position();
    hold(sf::Keyboard::D);
    game->world().slot(0).layers[WallLayer][6 * 20 + 9] = ClosedDoor;
    step(5);
    EXPECT_EQ(game->player().position(), before);
    EXPECT_EQ(game->player().life(), StartLife);

    // A right click does not change the talk cursor.
    click(sf::Mouse::Right, 10, 10);
    EXPECT_EQ(program->cursor(), 4);
}

TEST_F(GameFlow, AMapWithoutHuntersIsWonAndSaysSoAgainAfterTheOpeningConversation)
{
    ASSERT_TRUE(startWith(room(true), true));
    program->languageDocument().child("_INITIAL_00_Maverick").setString("Hello");
    step();
    EXPECT_TRUE(game->victory());
    EXPECT_EQ(log().back(), VictoryLine);

    int steps = 1;
    while (game->tasks().size() + game->dialogue().running() > 0 && steps < 5000) {
        step();
        // A click every 40 steps lets each box open and slide into place before it moves on,
        // so the help line runs its action.
        if (game->dialogue().running() && steps % 40 == 0)
            click(sf::Mouse::Left, 100, 100);
        ++steps;
    }
    ASSERT_FALSE(game->dialogue().running());
    EXPECT_GT(steps, 51);
    // The conversation ends with its help lines; the first step of play repeats the victory.
    EXPECT_EQ(log().back(), "Welcome.");
    step();
    EXPECT_EQ(log().back(), VictoryLine);
    EXPECT_EQ(game->log().stepsLeft(), 100);
}

TEST_F(GameFlow, VictoryNeedsEveryHunterDead)
{
    step();
    EXPECT_FALSE(game->victory());
    game->world().slot(0).monsters[0]->damage(100);
    step();
    EXPECT_FALSE(game->victory());
    game->world().slot(0).monsters[1]->damage(100);
    step();
    EXPECT_TRUE(game->victory());
    EXPECT_EQ(log().back(), VictoryLine);
}

TEST_F(GameFlow, SpaceDoesNothingWhilePlayingAndRestartsAfterDefeat)
{
    const Monster* first = game->world().slot(0).monsters[0].get();
    game->player().placeAt(centre(9, 6));
    setLife(200);
    press(sf::Keyboard::Space);
    EXPECT_EQ(game->world().slot(0).monsters[0].get(), first);
    EXPECT_EQ(game->player().life(), 200);
    EXPECT_EQ(game->player().position(), centre(9, 6));

    game->addMessage("before the end");
    setLife(0);
    game->world().slot(0).monsters[1]->damage(30);
    game->world().slot(0).bullets.push_back(std::make_unique<Bullet>(*game, centre(5, 5), 0.0));
    game->draw();
    program->setCursor(2);
    press(sf::Keyboard::Space);
    EXPECT_EQ(game->player().life(), StartLife);
    EXPECT_EQ(game->player().position(), PlayerStart);
    EXPECT_EQ(program->cursor(), 1);
    ASSERT_EQ(game->world().slot(0).monsters.size(), 2u);
    EXPECT_EQ(game->world().slot(0).monsters[0]->position(), sf::Vector2f(120.f, 120.f));
    EXPECT_EQ(game->world().slot(0).monsters[1]->position(), sf::Vector2f(18 * 120.f, 120.f));
    EXPECT_EQ(game->world().slot(0).monsters[1]->life(), 100);
    EXPECT_TRUE(game->world().slot(0).bullets.empty());
    EXPECT_FALSE(game->victory());
    // The level starts clean, and without the opening conversation: a death does not replay it.
    EXPECT_TRUE(game->log().lines().empty());
    EXPECT_EQ(game->tasks().size(), 0u);
}

TEST_F(GameFlow, ARestartLeavesNothingOfTheOldGameButTheRememberedWalls)
{
    game->addMessage("old line");
    game->tasks().schedule(&Events::openDoorTask, {game->world().map().width, 2, 2, 20});
    game->events().addSpark(2, 2, 200);
    game->world().slot(0).explored[5] = 1;
    setLife(0);
    step();
    game->draw();
    ASSERT_FALSE(game->log().lines().empty()); // the defeat's line
    press(sf::Keyboard::Space);
    EXPECT_TRUE(game->log().lines().empty());
    EXPECT_EQ(game->tasks().size(), 0u); // not even the opening: it played once already
    EXPECT_TRUE(game->events().sparks().empty());
    EXPECT_EQ(game->world().slot(0).explored[5], 1);
}

TEST_F(GameFlow, RestartsDoNotPileUpHunters)
{
    for (int run = 0; run < 25; ++run) {
        setLife(-5);
        press(sf::Keyboard::Space);
        step();
    }
    EXPECT_EQ(game->world().slot(0).monsters.size(), 2u);
    EXPECT_EQ(game->tasks().size(), 0u); // no opening after a death
}

TEST_F(GameFlow, EscapeSavesAndLeavesTheModule)
{
    press(sf::Keyboard::Escape);
    EXPECT_EQ(program->top(), program->quitState());
    EXPECT_TRUE(game->world().slot(0).monsters.empty());
    EXPECT_FALSE(game->isStarted());
    EXPECT_TRUE(std::ifstream(testResourceDirectory() + "data.vrk").good());
}

TEST_F(GameFlow, TheRightButtonCyclesTheThreePlayCursors)
{
    EXPECT_EQ(program->cursor(), 1);
    for (int expected : {2, 3, 1, 2}) {
        click(sf::Mouse::Right, 0, 0);
        EXPECT_EQ(program->cursor(), expected);
    }
}

TEST_F(GameFlow, MouseButtonsAreIgnoredWhenDead)
{
    setLife(0);
    click(sf::Mouse::Right, 0, 0);
    click(sf::Mouse::Left, 0, 0);
    EXPECT_EQ(program->cursor(), 1);
    EXPECT_EQ(game->player().attackTimer(), 0);
}

TEST_F(GameFlow, ClosedDoorsHurtHuntersAndThePlayer)
{
    Monster& hunter = *game->world().slot(0).monsters[0];
    game->world().slot(0).layers[WallLayer][1 * 20 + 1] = ClosedDoor;
    game->world().slot(0).layers[WallLayer][6 * 20 + 9] = ClosedDoor;
    step();
    EXPECT_EQ(hunter.life(), 0);
    EXPECT_EQ(game->player().life(), 320);
}

TEST_F(GameFlow, DeadHuntersGetNoSteps)
{
    Hunter& hunter = static_cast<Hunter&>(*game->world().slot(0).monsters[0]);
    const double heading = hunter.heading();
    step();
    EXPECT_NE(hunter.heading(), heading); // a turning hunter turns
    hunter.damage(100);
    const double still = hunter.heading();
    step(3);
    EXPECT_EQ(hunter.heading(), still);
}

TEST_F(GameFlow, FinishedBulletsLeaveTheList)
{
    // One flies into the wall at once, the other down the open room.
    game->world().slot(0).bullets.push_back(
        std::make_unique<Bullet>(*game, sf::Vector2f(130.f, 600.f), 180.0));
    game->world().slot(0).bullets.push_back(std::make_unique<Bullet>(*game, centre(5, 3), 90.0));
    step();
    ASSERT_EQ(game->world().slot(0).bullets.size(), 1u);
    step(40);
    EXPECT_TRUE(game->world().slot(0).bullets.empty());
}

class Sounds : public IngameTest {
protected:
    void SetUp() override
    {
        IngameTest::SetUp();
        program->setOption("Sound", "True");
        ASSERT_TRUE(startWith(room()));
    }
};

TEST_F(Sounds, ASoundIsDroppedWhenAllVoicesAreBusy)
{
    for (int i = 0; i < VoiceCount; ++i)
        game->audio().play(1, 1.0f);
    for (int i = 0; i < VoiceCount; ++i) {
        const sf::Sound& voice = game->audio().voice(i);
        EXPECT_EQ(voice.getStatus(), sf::Sound::Playing);
        EXPECT_EQ(voice.getBuffer(), &game->audio().buffer(1));
        EXPECT_NEAR(voice.getVolume(), VoiceVolume, 0.01f);
    }
    game->audio().play(2, 1.0f);
    for (int i = 0; i < VoiceCount; ++i)
        EXPECT_EQ(game->audio().voice(i).getBuffer(), &game->audio().buffer(1));

    // A voice that is free again takes the next sound.
    game->audio().voice(7).stop();
    game->audio().play(3, 1.0f);
    EXPECT_EQ(game->audio().voice(7).getBuffer(), &game->audio().buffer(3));
    game->audio().play(9, 1.0f); // no such sound: nothing happens
}

TEST_F(Sounds, MusicIsTheDarkThemeFromTheStart)
{
    EXPECT_EQ(game->audio().music(1).getStatus(), sf::Music::Playing);
    EXPECT_TRUE(game->audio().music(1).getLoop());
    EXPECT_EQ(game->audio().music(0).getStatus(), sf::Music::Stopped);
    game->stop();
    EXPECT_EQ(game->audio().music(1).getStatus(), sf::Music::Stopped);
}

} // namespace
} // namespace testing
} // namespace vrk
