// The pause, the HUD, the feedback to the player and the settings the game applies, driven
// step by step.
#include "IngameFixture.hpp"
#include "monsters/MonsterProbe.hpp"

#include "game/HudTexts.hpp"
#include "game/monsters/Bullet.hpp"
#include "game/monsters/Hunter.hpp"
#include "game/monsters/Monster.hpp"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace vrk {
namespace testing {
namespace {

// 20 x 12 cells, walled round; a wall splits off the right-hand part but for a gap at row 9.
TestMap arena(const std::vector<std::pair<int, int>>& hunters = {}, char kind = 'h')
{
    std::vector<std::string> rows(12, std::string(20, '.'));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            if (x == 0 || y == 0 || x == 19 || y == 11 || (x == 14 && y != 9))
                rows[y][x] = '#';
    for (const auto& cell : hunters)
        rows[cell.second][cell.first] = kind;
    return TestMap(rows);
}

void sendFocus(Program& program, sf::Event::EventType type)
{
    sf::Event event;
    event.type = type;
    program.dispatchEvent(event);
}

// The mean over a region's pixels of a measure of one pixel.
template <typename Measure>
double meanOver(const sf::Image& image, sf::IntRect region, Measure measure)
{
    double sum = 0.0;
    for (int y = region.top; y < region.top + region.height; ++y)
        for (int x = region.left; x < region.left + region.width; ++x)
            sum += measure(image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)));
    return sum / (region.width * region.height);
}

// Share of the pixels whose red stands well above green and blue.
double redShare(const sf::Image& image, sf::IntRect region)
{
    return meanOver(image, region, [](sf::Color c) { return c.r > c.g + 60 && c.r > c.b + 60 ? 1.0 : 0.0; });
}

double whiteShare(const sf::Image& image, sf::IntRect region)
{
    return meanOver(image, region, [](sf::Color c) { return c.r > 220 && c.g > 220 && c.b > 220 ? 1.0 : 0.0; });
}

double yellowShare(const sf::Image& image, sf::IntRect region)
{
    return meanOver(image, region, [](sf::Color c) { return c.r > 200 && c.g > 180 && c.b < 100 ? 1.0 : 0.0; });
}

double meanBrightness(const sf::Image& image, sf::IntRect region)
{
    return meanOver(image, region, [](sf::Color c) { return (c.r + c.g + c.b) / 3.0; });
}

class HudTest : public IngameTest {
protected:
    sf::Image frame()
    {
        game->draw();
        program->scene().display();
        return program->scene().getTexture().copyToImage();
    }
    // Runs the opening conversation to its end as a player skipping it would.
    void skipOpening()
    {
        for (int i = 0; i < 200 && !game->dialogue().running(); ++i)
            step();
        ASSERT_TRUE(game->dialogue().running());
        press(sf::Keyboard::Tab);
        for (int i = 0; i < 400 && game->dialogue().running(); ++i) {
            step();
            press(sf::Keyboard::Space);
        }
        ASSERT_FALSE(game->dialogue().running());
    }
    Monster& hunter(int index) { return *game->world().map().monsters[index]; }
    // Starts on map with the player at the centre of a cell, and the camera on it if follow.
    bool startAt(const TestMap& map, int column, int row, bool follow = false)
    {
        if (!startWith(map))
            return false;
        game->player().placeAt(centre(column, row));
        if (follow)
            game->followCamera();
        return true;
    }
    sf::Music::Status music(int theme) { return game->audio().music(theme).getStatus(); }
};

// ---- pause ----

using Pause = HudTest;

TEST_F(Pause, PStopsStepsAndTimersAndAResumeDoesNotCatchUp)
{
    ASSERT_TRUE(startAt(arena({{16, 3}}, 'y'), 4, 6));
    game->world().map().bullets.push_back(std::make_unique<Bullet>(*game, centre(10, 2), 0.0));
    game->addMessage("line");
    hold(sf::Keyboard::D);
    step();
    const sf::Vector2f player = game->player().position();
    const sf::Vector2f patrol = hunter(0).position();
    const int logLeft = game->log().stepsLeft();
    const std::size_t bullets = game->world().map().bullets.size();
    ASSERT_EQ(bullets, 1u);

    press(sf::Keyboard::P);
    ASSERT_TRUE(game->paused());
    step(300); // ten seconds of steps: the bullet would have left, the log emptied
    EXPECT_EQ(game->player().position(), player);
    EXPECT_EQ(hunter(0).position(), patrol);
    EXPECT_EQ(game->log().stepsLeft(), logLeft);
    EXPECT_EQ(game->world().map().bullets.size(), bullets);

    press(sf::Keyboard::P);
    ASSERT_FALSE(game->paused());
    step();
    EXPECT_FLOAT_EQ(game->player().position().x, player.x + WalkSpeed);
    EXPECT_EQ(game->log().stepsLeft(), logLeft - 1);
}

TEST_F(Pause, TheConversationAndItsTimersWaitToo)
{
    ASSERT_TRUE(startWith(arena(), true));
    press(sf::Keyboard::P);
    step(OpeningDialogueDelay + 20);
    EXPECT_FALSE(game->dialogue().running()); // the opening's delay has not run out
    press(sf::Keyboard::P);
    for (int i = 0; i < 200 && game->dialogue().charsShown() < 3.0; ++i)
        step();
    ASSERT_TRUE(game->dialogue().running());
    const double shown = game->dialogue().charsShown();
    press(sf::Keyboard::P);
    step(30);
    press(sf::Keyboard::Space); // no advance while paused
    EXPECT_EQ(game->dialogue().charsShown(), shown);
}

TEST_F(Pause, LosingTheFocusPausesAndReleasesTheHeldKeys)
{
    program->setOption("Sound", "True");
    ASSERT_TRUE(startAt(arena(), 4, 6));
    hold(sf::Keyboard::D);
    ASSERT_EQ(music(DarkTheme), sf::Music::Playing);

    sendFocus(*program, sf::Event::GainedFocus);
    sendFocus(*program, sf::Event::LostFocus);
    EXPECT_TRUE(game->paused());
    EXPECT_FALSE(ProgramProbe::keyDown(*program)[sf::Keyboard::D]);
    EXPECT_EQ(music(DarkTheme), sf::Music::Paused);

    sendFocus(*program, sf::Event::GainedFocus);
    EXPECT_TRUE(game->paused()); // the player resumes when ready
    press(sf::Keyboard::P);
    EXPECT_FALSE(game->paused());
    EXPECT_EQ(music(DarkTheme), sf::Music::Playing);
    const sf::Vector2f before = game->player().position();
    step();
    EXPECT_EQ(game->player().position(), before); // D was let go with the focus
}

// Without a window manager a window is told it lost the focus as it opens, the first one and
// each one F11 or Alt+Return makes: only a window that had the focus pauses the game on a loss,
// and a switch leaves the game as it was.
TEST_F(Pause, OnlyAWindowThatHadTheFocusPausesOnALossAndSwitchesKeepThePause)
{
    ASSERT_TRUE(startWith(arena()));
    const struct {
        const char* events; // G gained, L lost, F F11, A Alt+Return, P the pause key
        bool paused;
    } cases[] = {
        {"L", false}, {"GL", true}, {"GFL", false}, {"GFLAL", false}, {"GFGL", true}, {"PF", true}, {"PFLAP", false},
    };
    program->setOption("Window", "640x360");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.events);
        ASSERT_TRUE(program->openWindow());
        game->setPaused(false);
        for (const char* e = c.events; *e; ++e) {
            sf::Event event;
            event.type = *e == 'G' ? sf::Event::GainedFocus : sf::Event::LostFocus;
            if (*e == 'F' || *e == 'A' || *e == 'P') {
                event.type = sf::Event::KeyPressed;
                event.key = sf::Event::KeyEvent{*e == 'F'   ? sf::Keyboard::F11
                                                : *e == 'A' ? sf::Keyboard::Return
                                                            : sf::Keyboard::P,
                                                *e == 'A', false, false, false};
            }
            program->dispatchEvent(event);
        }
        EXPECT_EQ(game->paused(), c.paused);
        program->window().close();
    }
}

TEST_F(Pause, ThePauseScreenDimsTheGameAndNamesItself)
{
    ASSERT_TRUE(startAt(arena(), 7, 6, true));
    pointAt(centre(7, 10)); // the light down over the band below the words
    step();
    const sf::IntRect band(0, 700, 1920, 300); // under the pause screen's words
    const sf::Image playing = frame();
    press(sf::Keyboard::P);
    const HudFrame hud = game->hudFrame();
    EXPECT_EQ(hud.pausedTitle, PausedText.fallback);
    ASSERT_EQ(hud.pausedLines.size(), 2u);
    EXPECT_EQ(hud.pausedLines[0], "P to resume, Escape to leave.");
    const sf::Image paused = frame();
    EXPECT_LT(meanBrightness(paused, band), meanBrightness(playing, band) * 0.6);
    // The white title in the middle of the scene.
    const sf::IntRect title(760, 390, 400, 110);
    EXPECT_GT(whiteShare(paused, title), whiteShare(playing, title) + 0.1);
}

// Its items by keys (U Up, D Down, R Return, M the map's key first) or by the pointer: Options
// opens the options over the pause, "Back to the title" saves and leaves (once confirmed); the map
// takes the keys.
TEST_F(Pause, ThePauseScreensItemsAnswerKeysAndThePointer)
{
    const struct {
        const char* keys;
        int clicked; // -1: none
        bool optionsOpen;
        bool left;
    } cases[] = {
        {"R", -1, true, false}, {"DR", -1, false, true}, {"UR", -1, false, true},
        {"", 0, true, false},   {"", 1, false, true},    {"MDR", -1, false, false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(std::string("keys \"") + row.keys + "\", click on " + std::to_string(row.clicked));
        // Back on the stack after a row that left: the fixture registers the game as state 0.
        if (program->top() == program->quitState())
            ProgramProbe::stateStack(*program).push(0);
        ASSERT_TRUE(startWith(arena()));
        std::remove((testResourceDirectory() + "data.vrk").c_str());
        press(sf::Keyboard::P);
        ASSERT_TRUE(game->pauseMenuShown());
        EXPECT_EQ(game->pausedMenu().items(), (std::vector<std::string>{"Options", "Back to the title"}));
        for (const char* k = row.keys; *k; ++k)
            press(*k == 'U'   ? sf::Keyboard::Up
                  : *k == 'D' ? sf::Keyboard::Down
                  : *k == 'M' ? sf::Keyboard::M
                              : sf::Keyboard::Return);
        if (row.clicked >= 0) {
            const sf::FloatRect box = game->pausedMenu().itemBox(row.clicked);
            sf::Event move;
            move.type = sf::Event::MouseMoved;
            move.mouseMove = sf::Event::MouseMoveEvent{static_cast<int>(box.left + 10), static_cast<int>(box.top + 10)};
            program->dispatchEvent(move);
            EXPECT_EQ(game->pausedMenu().selected(), row.clicked);
            click(sf::Mouse::Left, static_cast<int>(box.left + 10), static_cast<int>(box.top + 10));
        }
        if (game->leaveAsked())
            press(sf::Keyboard::Escape); // leaving asks first: Escape again confirms
        EXPECT_EQ(game->options().isOpen(), row.optionsOpen);
        EXPECT_EQ(program->top() == program->quitState(), row.left);
        EXPECT_EQ(std::ifstream(testResourceDirectory() + "data.vrk").good(), row.left) << "leaving saves";
        if (row.optionsOpen) {
            press(sf::Keyboard::Escape);
            EXPECT_FALSE(game->options().isOpen());
            EXPECT_TRUE(game->paused()) << "closing the options gives the pause back";
            EXPECT_NE(program->top(), program->quitState());
        }
    }
    // Drawn once the map is closed again: the selected item's frame in the highlight colour.
    press(sf::Keyboard::M);
    ASSERT_TRUE(game->pauseMenuShown());
    const sf::FloatRect box = game->pausedMenu().itemBox(game->pausedMenu().selected());
    const sf::Image paused = frame();
    EXPECT_EQ(paused.getPixel(static_cast<unsigned>(box.left - MenuFrameThickness / 2),
                              static_cast<unsigned>(box.top + box.height / 2)),
              MenuHighlight);

    // A pause bound to Return still resumes rather than choosing an item.
    program->settings().bind(Action::Pause, sf::Keyboard::Return);
    press(sf::Keyboard::Return);
    EXPECT_FALSE(game->paused());
    EXPECT_FALSE(game->options().isOpen());
}

// ---- settings in play ----

using PlaySettings = HudTest;

TEST_F(PlaySettings, ABindingChangeMovesThePlayer)
{
    ASSERT_TRUE(startAt(arena(), 6, 6));
    ASSERT_TRUE(program->settings().applyKeyPreset("azerty"));
    const sf::Vector2f start = game->player().position();
    hold(sf::Keyboard::W); // no longer up
    step();
    EXPECT_EQ(game->player().position(), start);
    hold(sf::Keyboard::W, false);
    hold(sf::Keyboard::Z);
    step();
    EXPECT_FLOAT_EQ(game->player().position().y, start.y - WalkSpeed);
    hold(sf::Keyboard::Z, false);
    hold(sf::Keyboard::Up); // the arrows stay
    step();
    EXPECT_FLOAT_EQ(game->player().position().y, start.y - 2 * WalkSpeed);
    hold(sf::Keyboard::Up, false);

    program->settings().bind(Action::Pause, sf::Keyboard::Num9);
    press(sf::Keyboard::P);
    EXPECT_FALSE(game->paused());
    press(sf::Keyboard::Num9);
    EXPECT_TRUE(game->paused());
    EXPECT_EQ(game->hudFrame().pausedLines[0], "Num9 to resume, Escape to leave.");
}

TEST_F(PlaySettings, VolumeKeysStepByTenWithinLimitsAndShowTheirLevelEvenPaused)
{
    program->setOption("Sound", "True");
    ASSERT_TRUE(startWith(arena()));
    press(sf::Keyboard::P);
    press(sf::Keyboard::F2);
    press(sf::Keyboard::F2);
    EXPECT_EQ(program->settings().musicVolume, 80);
    EXPECT_NEAR(game->audio().music(DarkTheme).getVolume(), MusicVolume * 0.8f, 0.01f);
    EXPECT_EQ(game->hud().indicator(), "Music 80%");
    press(sf::Keyboard::F6);
    EXPECT_EQ(program->settings().effectsVolume, 100);
    for (int i = 0; i < 12; ++i)
        press(sf::Keyboard::F5);
    EXPECT_EQ(program->settings().effectsVolume, 0);
    EXPECT_EQ(game->audio().voice(0).getVolume(), 0.f);
    EXPECT_EQ(game->hud().indicator(), "Effects 0%");
    // The indicator goes after two seconds, steps counted while paused.
    step(IndicatorSteps - 1);
    EXPECT_GT(game->hud().indicatorSteps(), 0);
    step();
    EXPECT_EQ(game->hud().indicatorSteps(), 0);
}

TEST_F(PlaySettings, WithSoundOffTheIndicatorSaysSo)
{
    ASSERT_TRUE(startWith(arena()));
    press(sf::Keyboard::F3);
    EXPECT_EQ(program->settings().musicVolume, 100);
    EXPECT_EQ(game->hud().indicator(), "Music 100% (sound off for this run)");
}

// ---- the HUD ----

using Display = HudTest;

TEST_F(Display, TheHuntersLeftCountTheMapBeingPlayedAndDropAfterAKill)
{
    ASSERT_TRUE(startWith(arena({{3, 2}, {10, 2}, {17, 9}})));
    EXPECT_EQ(game->hudFrame().hunters, "Hunters 3/3");
    game->player().placeAt(centre(3, 4));
    game->followCamera();
    pointAt(centre(3, 1)); // the blade lands toward the pointer, on the hunter
    MonsterProbe::position(hunter(0)) = centre(3, 3) + sf::Vector2f(0.f, 10.f);
    game->player().attack();
    step();
    ASSERT_EQ(hunter(0).life(), 0);
    EXPECT_EQ(game->hudFrame().hunters, "Hunters 2/3");
    // A map without monsters counts none: the count follows the played map, not a fixed total.
    ASSERT_TRUE(startWith(arena()));
    EXPECT_EQ(game->hudFrame().hunters, "Hunters 0/0");
}

TEST_F(Display, TheObjectiveShowsFromTheEndOfTheConversationUntilTheFirstHunterFalls)
{
    ASSERT_TRUE(startWith(arena({{17, 9}, {17, 2}}), true));
    EXPECT_TRUE(game->hudFrame().objective.empty());
    skipOpening();
    EXPECT_EQ(game->hudFrame().objective, ObjectiveText.fallback);
    hunter(0).damage(HunterLife);
    EXPECT_TRUE(game->hudFrame().objective.empty());
}

TEST_F(Display, TheCursorsModeIsNamedAndTheBarsLabelled)
{
    ASSERT_TRUE(startWith(arena()));
    EXPECT_EQ(game->hudFrame().mode, "Attack");
    EXPECT_EQ(game->hudFrame().lifeLabel, "Life");
    EXPECT_EQ(game->hudFrame().runLabel, "Run");
    // Each right click turns to the next mode, round to the first.
    for (const char* mode : {"Analyse", "Activate", "Attack"}) {
        click(sf::Mouse::Right, 100, 100);
        EXPECT_EQ(game->hudFrame().mode, mode);
    }
}

// ---- feedback ----

using Feedback = HudTest;

TEST_F(Feedback, ABulletFlashesTheEdgesRedAndMarksWhereItCameFrom)
{
    ASSERT_TRUE(startAt(arena(), 5, 6, true));
    const sf::IntRect edge(1860, 300, 60, 400); // the dark side, away from the light
    const double before = redShare(frame(), edge);
    EXPECT_EQ(game->hud().flash(), 0);

    // Fired from the left, flying right.
    game->world().map().bullets.push_back(std::make_unique<Bullet>(*game, centre(2, 6), 0.0));
    const int life = game->player().life();
    for (int i = 0; i < 20 && game->player().life() == life; ++i)
        step();
    ASSERT_EQ(game->player().life(), life - BulletDamage);
    EXPECT_GT(game->hud().flash(), 0);
    ASSERT_GT(game->hud().markerSteps(), 0);
    EXPECT_NEAR(std::fabs(game->hud().markerAngle()), Pi, 0.01); // pointing left
    EXPECT_GT(redShare(frame(), edge), before + 0.3);

    // Both fade away.
    step(HitMarkerSteps);
    EXPECT_EQ(game->hud().flash(), 0);
    EXPECT_EQ(game->hud().markerSteps(), 0);
}

TEST_F(Feedback, ALargerLossFlashesStrongerAndADoorHasNoDirection)
{
    ASSERT_TRUE(startWith(arena()));
    const sf::Vector2f from = game->player().position() + sf::Vector2f(0.f, 300.f);
    game->hitPlayer(ClosedDoorDamage, nullptr);
    const int weak = game->hud().flash();
    EXPECT_EQ(game->hud().markerSteps(), 0);
    game->hud().restart();
    game->hitPlayer(100, &from);
    EXPECT_GT(game->hud().flash(), weak);
    EXPECT_NEAR(game->hud().markerAngle(), Pi / 2, 1e-6); // below
    // A dead player feels nothing more.
    game->hud().restart();
    setLife(0);
    game->hitPlayer(BulletDamage, &from);
    EXPECT_EQ(game->hud().flash(), 0);
}

// A touch marks the hunter itself: on the easier rules the marker follows it while it shows,
// off the screen too; on classic it keeps the side the blow came from.
TEST_F(Feedback, ATouchMarksTheHunterAndTheMarkerFollowsIt)
{
    for (const Difficulty difficulty : {Difficulty::Normal, Difficulty::Classic}) {
        program->settings().difficulty = difficulty;
        ASSERT_TRUE(startAt(arena({{5, 6}}), 4, 6, true));
        Hunter& touching = static_cast<Hunter&>(hunter(0));
        MonsterProbe::position(touching) = game->player().position() + sf::Vector2f(5.f, 0.f);
        MonsterProbe::heading(touching) = 180.0;
        step();
        ASSERT_GT(game->hud().markerSteps(), 0);
        const double first = game->hud().markerAngle();
        EXPECT_NEAR(first, 0.0, 0.01); // toward +x
        // Far below the view, out of sight.
        MonsterProbe::position(touching) = game->player().position() + sf::Vector2f(0.f, 2000.f);
        step();
        EXPECT_NEAR(game->hud().markerAngle(), difficulty == Difficulty::Classic ? first : Pi / 2, 0.01);
    }
}

TEST_F(Feedback, TheAlertSoundsOncePerSpottingNotEveryStep)
{
    program->setOption("Sound", "True");
    // The hunter faces down at the start; the player stands in its sight.
    ASSERT_TRUE(startAt(arena({{5, 2}}), 5, 6));
    step();
    EXPECT_EQ(game->audio().timesAsked(AlertSound), 1);
    EXPECT_EQ(game->hud().marks(), 1u);
    int playing = 0;
    for (int i = 0; i < VoiceCount; ++i)
        playing += game->audio().voice(i).getBuffer() == &game->audio().buffer(AlertSound);
    EXPECT_EQ(playing, 1);
    step(60); // seen all along, chased, hit and touched
    EXPECT_EQ(game->audio().timesAsked(AlertSound), 1);

    // Out of sight behind the wall; the chase given up; then seen again: a new spotting.
    game->player().placeAt(centre(17, 3));
    step(AlertRepeatSteps);
    EXPECT_EQ(game->audio().timesAsked(AlertSound), 1);
    Hunter& watcher = static_cast<Hunter&>(hunter(0));
    MonsterProbe::chasing(watcher) = false;
    MonsterProbe::position(watcher) = centre(5, 2);
    MonsterProbe::heading(watcher) = 90.0;
    game->player().placeAt(centre(5, 6));
    setLife(StartLife); // the first chase may have been fatal
    step();
    EXPECT_EQ(game->audio().timesAsked(AlertSound), 2);
}

TEST_F(Feedback, TheExclamationMarkStandsOverTheHunterForASecond)
{
    ASSERT_TRUE(startAt(arena({{5, 5}}), 5, 9, true));
    step();
    ASSERT_EQ(game->hud().marks(), 1u);
    // Yellow pixels above the hunter, under the fog's darkness or not.
    const sf::Vector2f at = screen(hunter(0).position());
    ASSERT_GT(at.y, 160.f);
    const sf::IntRect above(static_cast<int>(at.x) - 30, static_cast<int>(at.y) - 160, 60, 100);
    EXPECT_GT(yellowShare(frame(), above) * above.width * above.height, 100.0);
    step(SpottedMarkSteps);
    EXPECT_EQ(game->hud().marks(), 0u);
}

TEST_F(Feedback, VictoryPlaysTheVictoryMusicInPlaceOfTheOther)
{
    program->setOption("Sound", "True");
    ASSERT_TRUE(startWith(arena({{17, 9}})));
    step();
    EXPECT_NE(music(VictoryTheme), sf::Music::Playing);
    hunter(0).damage(HunterLife);
    step();
    ASSERT_TRUE(game->victory());
    EXPECT_EQ(music(VictoryTheme), sf::Music::Playing);
    EXPECT_EQ(music(DarkTheme), sf::Music::Stopped);
    EXPECT_EQ(music(MainTheme), sf::Music::Stopped);
    // Space restarts with the game's own music.
    press(sf::Keyboard::Space);
    EXPECT_EQ(music(VictoryTheme), sf::Music::Stopped);
    EXPECT_EQ(music(DarkTheme), sf::Music::Playing);
}

} // namespace
} // namespace testing
} // namespace vrk
