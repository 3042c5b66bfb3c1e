#include "IngameFixture.hpp"

#include "game/KeyTexts.hpp"
#include "game/monsters/Bullet.hpp"
#include "game/monsters/Hunter.hpp"
#include "tavric/model/Tavric.hpp"

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
    EXPECT_EQ(log().back(), "Pause: P. Leave the level: Escape."); // the help line's action still took effect
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
    EXPECT_EQ(log().back(), "Pause: P. Leave the level: Escape.");
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

// Leaving asks first, from play (E) and from the pause's "Back to the title" (P D R); Escape
// over the map (M) or the options (P R) closes them. Keys: E Escape, R Return, P pause, M map,
// W walk up, S Space, D Down, F F2; L and X a left and a right click.
TEST_F(GameFlow, LeavingAsksFirstAndOnlyEscapeOrReturnConfirm)
{
    const struct {
        const char* keys;
        bool asked, left, paused, pauseMenu, map, options;
    } cases[] = {
        {"E", true, false, true, false, false, false},      {"EE", false, true, false, false, false, false},
        {"ER", false, true, false, false, false, false},    {"EW", false, false, false, false, false, false},
        {"ES", false, false, false, false, false, false},   {"EP", false, false, false, false, false, false},
        {"EM", false, false, false, false, false, false},   {"EL", false, false, false, false, false, false},
        {"EX", false, false, false, false, false, false},   {"EF", false, false, false, false, false, false},
        {"PDR", true, false, true, false, false, false},    {"PDRR", false, true, false, false, false, false},
        {"PDRE", false, true, false, false, false, false},  {"PDRW", false, false, true, true, false, false},
        {"PDRL", false, false, true, true, false, false},   {"PDRP", false, false, false, false, false, false},
        {"ME", false, false, false, false, false, false},   {"MEE", true, false, true, false, false, false},
        {"PR", false, false, true, true, false, true},     {"PRE", false, false, true, true, false, false},
        {"PREE", true, false, true, false, false, false},   {"PREEW", false, false, true, true, false, false},
        {"PM", false, false, true, false, true, false},     {"PME", false, false, true, true, false, false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.keys);
        // Back on the stack after a row that left: the fixture registers the game as state 0.
        if (program->top() == program->quitState())
            ProgramProbe::stateStack(*program).push(0);
        if (game->options().isOpen())
            press(sf::Keyboard::Escape); // a restart leaves them as they were
        ASSERT_TRUE(startWith(room()));
        program->setCursor(AttackCursor);
        std::remove((testResourceDirectory() + "data.vrk").c_str());
        for (const char* k = row.keys; *k; ++k) {
            if (*k == 'L' || *k == 'X') {
                click(*k == 'L' ? sf::Mouse::Left : sf::Mouse::Right, 100, 100);
                continue;
            }
            press(*k == 'E'   ? sf::Keyboard::Escape
                  : *k == 'R' ? sf::Keyboard::Return
                  : *k == 'P' ? sf::Keyboard::P
                  : *k == 'M' ? sf::Keyboard::M
                  : *k == 'W' ? sf::Keyboard::W
                  : *k == 'S' ? sf::Keyboard::Space
                  : *k == 'D' ? sf::Keyboard::Down
                              : sf::Keyboard::F2);
        }
        const bool left = program->top() == program->quitState();
        EXPECT_EQ(left, row.left);
        EXPECT_EQ(std::ifstream(testResourceDirectory() + "data.vrk").good(), row.left) << "leaving saves";
        if (left) {
            EXPECT_FALSE(game->isStarted());
            EXPECT_TRUE(game->world().slot(0).monsters.empty());
            continue;
        }
        EXPECT_EQ(game->leaveAsked(), row.asked);
        EXPECT_EQ(game->paused(), row.paused);
        EXPECT_EQ(game->pauseMenuShown(), row.pauseMenu);
        EXPECT_EQ(game->exploredMap().shown(), row.map);
        EXPECT_EQ(game->options().isOpen(), row.options);
        // The answer that goes back is no strike and no change of mode.
        EXPECT_EQ(game->player().attackTimer(), 0);
        EXPECT_EQ(program->cursor(), AttackCursor);
        const HudFrame hud = game->hudFrame();
        if (row.asked) {
            EXPECT_TRUE(hud.paused);
            EXPECT_EQ(hud.pausedTitle, "Leave the level?");
            EXPECT_EQ(hud.pausedLines, (std::vector<std::string>{LeaveLossText.fallback, LeaveKeysText.fallback}));
            EXPECT_EQ(hud.pauseMenu, nullptr);
        } else {
            EXPECT_EQ(hud.pauseMenu != nullptr, row.paused);
        }
    }
}

// Space after a death resumes at the last checkpoint where the rules keep them: the line says so.
TEST_F(GameFlow, TheGameOverLineSaysWhatSpaceDoes)
{
    const std::pair<Difficulty, const char*> cases[] = {
        {Difficulty::Easy, ResumeOverText.fallback},
        {Difficulty::Normal, ResumeOverText.fallback},
        {Difficulty::Classic, "Game over - Press space to restart"},
    };
    for (const auto& [difficulty, line] : cases) {
        SCOPED_TRACE(line);
        program->settings().difficulty = difficulty;
        ASSERT_TRUE(startWith(room()));
        setLife(0);
        step();
        ASSERT_FALSE(log().empty());
        EXPECT_EQ(log().back(), line);
    }
}

// Lines shown in one language speak the next once the options change it: a text of the
// language, one of the game's lines, the help with its keys; a line the language lacks stays.
TEST_F(GameFlow, TheLogFollowsALanguageChangedInTheOptions)
{
    zul::Tavric& languages = program->configDocument().child("Language");
    const std::pair<const char*, const char*> english[] = {
        {"TooFar", "Too far."}, {"Checkpoint", "Kept here."}, {"Help2", "Walk: {move}."}};
    const std::pair<const char*, const char*> french[] = {
        {"TooFar", "Trop loin."}, {"Checkpoint", "Gardé ici."}, {"Help2", "Marche : {move}."}, {"OnlyFr", "Seul."}};
    for (const auto& [key, words] : english)
        languages.child("En").child(key).setString(words);
    for (const auto& [key, words] : french)
        languages.child("Fr").child(key).setString(words);
    ASSERT_TRUE(program->setLanguage("Fr"));
    const auto lines = [this](std::vector<std::string> expected) {
        std::vector<std::string> shown;
        for (const sf::Text& text : game->log().lines()) {
            const auto utf8 = text.getString().toUtf8();
            shown.emplace_back(utf8.begin(), utf8.end());
        }
        EXPECT_EQ(shown, expected);
    };
    // Through the options of the pause: P, Return on "Options", Down to the language's row.
    const auto switchLanguage = [this] {
        press(sf::Keyboard::P);
        press(sf::Keyboard::Return);
        ASSERT_TRUE(game->options().isOpen());
        while (game->options().selectedRow() != OptionsScreen::LanguageRow)
            press(sf::Keyboard::Down);
        press(sf::Keyboard::Right);
        press(sf::Keyboard::Escape);
        press(sf::Keyboard::P);
    };

    game->addText("TooFar");
    game->addMessage(game->logText(CheckpointText));
    game->addMessage(withBoundKeys(game->logText(HelpTexts[1]), program->settings()));
    lines({"Trop loin.", "Gardé ici.", "Marche : WASD."});
    switchLanguage();
    ASSERT_EQ(program->languageDocument().getName(), "En");
    lines({"Too far.", "Kept here.", "Walk: WASD."});

    switchLanguage();
    ASSERT_EQ(program->languageDocument().getName(), "Fr");
    lines({"Trop loin.", "Gardé ici.", "Marche : WASD."});
    game->addText("TooFar");
    game->addText("OnlyFr");
    switchLanguage();
    lines({"Walk: WASD.", "Too far.", "Seul."});
    // Still one game-over line however the language changed while it stood.
    setLife(0);
    step();
    EXPECT_EQ(game->log().size(), 3u);
}

// A pointer moved while paused takes the view's lead with it, so resuming moves nothing under it
// and the first click lands on the cell it shows.
TEST_F(GameFlow, ThePausedGameFollowsThePointer)
{
    program->settings().difficulty = Difficulty::Normal;
    ASSERT_TRUE(startWith(room()));
    game->player().placeAt(centre(10, 6));
    ProgramProbe::mousePosition(*program) = sf::Vector2f(960.f, 540.f);
    step(60);
    const sf::Vector2f before = game->world().camera();
    press(sf::Keyboard::P);
    ProgramProbe::mousePosition(*program) = sf::Vector2f(1900.f, 1060.f);
    step(60);
    const sf::Vector2f paused = game->world().camera();
    EXPECT_GT(paused.x, before.x + 100.f);
    EXPECT_GT(paused.y, before.y + 100.f);
    EXPECT_EQ(game->player().position(), centre(10, 6)) << "the world stands still";
    press(sf::Keyboard::P);
    step();
    EXPECT_NEAR(game->world().camera().x, paused.x, 1.f);
    EXPECT_NEAR(game->world().camera().y, paused.y, 1.f);
}

// The help lines come while the last box shows and stay above it as it folds; once it is gone
// the log is back at the scene's bottom.
TEST_F(GameFlow, TheHelpLinesStayClearOfTheConversationsBox)
{
    program->languageDocument().child("_INITIAL_10_LogMsg").setString("Escape.");
    game->dialogue().start(OpeningScript);
    for (int i = 0; i < 200 && game->log().size() < 3u; ++i) {
        step();
        if (game->dialogue().entry() < 22)
            game->dialogue().advance();
    }
    ASSERT_EQ(game->log().size(), 3u);
    ASSERT_EQ(game->dialogue().scriptId(), OpeningScript);
    const auto lowestLine = [this] {
        float lowest = 0.f;
        for (const sf::Text& line : game->log().lines()) {
            const sf::FloatRect bounds = line.getGlobalBounds();
            lowest = std::max(lowest, bounds.top + bounds.height);
        }
        return lowest;
    };
    bool clicked = false;
    for (int frame = 0; game->dialogue().running(); ++frame) {
        SCOPED_TRACE(frame);
        ASSERT_LT(frame, 100);
        game->draw();
        const Dialogue& box = game->dialogue();
        const float top = static_cast<float>(box.boxY() + (box.boxMaxHeight() - box.boxHeight()) / 2 - 1);
        EXPECT_LE(lowestLine(), top);
        if (box.boxHeight() == box.boxMaxHeight()) {
            EXPECT_GT(lowestLine(), top - 40.f) << "close above it, not far up the scene";
        }
        if (frame == 5 && !clicked) {
            game->dialogue().advance();
            clicked = true;
        }
        step();
    }
    game->draw();
    EXPECT_GT(lowestLine(), static_cast<float>(SceneHeight) - 40.f);
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
