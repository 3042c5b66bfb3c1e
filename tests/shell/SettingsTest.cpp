// The settings kept in the user data (volumes, window, key bindings), and the window's own
// keys: fullscreen toggling, and a size given by the option or the player.
#include "shell/Program.hpp"
#include "shell/Settings.hpp"
#include "tests/shell/ProgramProbe.hpp"
#include "UserDataDir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

using vrk::testing::readFile;
using vrk::testing::writeFile;

constexpr int publicUser = -1;

// Each test in a directory of its own, with a configuration of one language.
class SettingsTest : public vrk::testing::UserDataDirTest {
protected:
    SettingsTest() : UserDataDirTest("[Language [En Hello = \"Hello\"]]\n") {}

    // Starts as the game does: user data, then the settings (and --Keys, --Difficulty); what
    // went to standard error is kept in errors.
    std::unique_ptr<vrk::Program> run(const std::string& keysOption = "", const std::string& difficultyOption = "")
    {
        auto program = std::make_unique<vrk::Program>();
        if (!keysOption.empty())
            program->setOption("Keys", keysOption);
        if (!difficultyOption.empty())
            program->setOption("Difficulty", difficultyOption);
        EXPECT_TRUE(program->loadConfiguration());
        program->loadUserData();
        ::testing::internal::CaptureStderr();
        program->readSettings();
        errors = ::testing::internal::GetCapturedStderr();
        program->chooseLanguage();
        return program;
    }

    std::string errors;
};

TEST_F(SettingsTest, EverySettingSurvivesARestart)
{
    auto first = run();
    EXPECT_EQ(errors, "");
    first->settings().musicVolume = 30;
    first->settings().effectsVolume = 0;
    first->settings().fullscreen = 0;
    first->settings().windowWidth = 1024;
    first->settings().windowHeight = 600;
    first->settings().bind(vrk::Action::Run, sf::Keyboard::Space);
    first->settings().bind(vrk::Action::Pause, sf::Keyboard::Numpad0);
    first->settings().bind(vrk::Action::Map, sf::Keyboard::Tab);
    ASSERT_TRUE(first->saveUserData());

    auto second = run();
    EXPECT_EQ(errors, "");
    const vrk::Settings& s = second->settings();
    EXPECT_EQ(s.musicVolume, 30);
    EXPECT_EQ(s.effectsVolume, 0);
    EXPECT_EQ(s.fullscreen, 0);
    EXPECT_EQ(s.windowWidth, 1024);
    EXPECT_EQ(s.windowHeight, 600);
    EXPECT_EQ(s.key(vrk::Action::Run), sf::Keyboard::Space);
    EXPECT_EQ(s.key(vrk::Action::Pause), sf::Keyboard::Numpad0);
    EXPECT_EQ(s.key(vrk::Action::Map), sf::Keyboard::Tab);
    EXPECT_EQ(s.key(vrk::Action::Up), sf::Keyboard::W);
    // The rest of the user data is still there.
    EXPECT_EQ(second->userDocument().child("CurrentLanguage", publicUser).getString(publicUser), "En");
    // Written readably, by action and key name.
    EXPECT_NE(savedText().find("Run=\"Space\""), std::string::npos) << savedText();
}

TEST_F(SettingsTest, ADamagedKeysSectionFallsBackToTheDefaultsAndKeepsTheOtherSettings)
{
    storeUserText("CurrentLanguage = \"En\"\n"
                  "[Settings MusicVolume = 40 EffectsVolume = 70]\n"
                  "[Keys Up = \"Nope\" Left = 12 Right = \"K\" Down = \"\" Map = \"m\"]\n");
    auto program = run();
    const vrk::Settings& s = program->settings();
    EXPECT_EQ(s.key(vrk::Action::Up), sf::Keyboard::W);
    EXPECT_EQ(s.key(vrk::Action::Left), sf::Keyboard::A);
    EXPECT_EQ(s.key(vrk::Action::Down), sf::Keyboard::S);
    EXPECT_EQ(s.key(vrk::Action::Right), sf::Keyboard::K); // the sound entry is kept
    EXPECT_EQ(s.key(vrk::Action::Map), sf::Keyboard::M);
    EXPECT_EQ(s.musicVolume, 40);
    EXPECT_EQ(s.effectsVolume, 70);
    // One line per bad entry, naming it and what is used instead.
    EXPECT_NE(errors.find("Keys.Up = \"Nope\""), std::string::npos) << errors;
    EXPECT_NE(errors.find("keeping W"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Keys.Left"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Keys.Down"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Keys.Map = \"m\" in the user data: no such key; keeping M."), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 4) << errors;

    // The save mends the section; the next start is quiet.
    ASSERT_TRUE(program->saveUserData());
    auto next = run();
    EXPECT_EQ(errors, "");
    EXPECT_EQ(next->settings().key(vrk::Action::Right), sf::Keyboard::K);
    EXPECT_EQ(next->settings().key(vrk::Action::Left), sf::Keyboard::A);
}

TEST_F(SettingsTest, NumbersOutOfRangeOrOfTheWrongTypeKeepTheirValue)
{
    storeUserText("[Settings MusicVolume = 250 EffectsVolume = \"loud\" WindowWidth = 10 WindowHeight = 700"
                  " Fullscreen = 0]\n");
    auto program = run();
    const vrk::Settings& s = program->settings();
    EXPECT_EQ(s.musicVolume, 100);
    EXPECT_EQ(s.effectsVolume, 100);
    EXPECT_EQ(s.windowWidth, 1280);
    EXPECT_EQ(s.windowHeight, 700);
    EXPECT_EQ(s.fullscreen, 0);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 3) << errors;

    // A volume between steps falls to the step below.
    storeUserText("[Settings MusicVolume = 45]\n");
    EXPECT_EQ(run()->settings().musicVolume, 40);
    // A Keys entry that is no section at all costs nothing else.
    storeUserText("Keys = 5\n[Settings EffectsVolume = 20]\n");
    auto plain = run();
    EXPECT_EQ(plain->settings().effectsVolume, 20);
    EXPECT_EQ(plain->settings().key(vrk::Action::Up), sf::Keyboard::W);
}

TEST_F(SettingsTest, KeysAzertyWritesTheZqsdPresetWhichStays)
{
    auto first = run("azerty");
    EXPECT_EQ(errors, "");
    EXPECT_EQ(first->settings().key(vrk::Action::Up), sf::Keyboard::Z);
    EXPECT_EQ(first->settings().key(vrk::Action::Left), sf::Keyboard::Q);
    EXPECT_EQ(first->settings().key(vrk::Action::Down), sf::Keyboard::S);
    EXPECT_EQ(first->settings().key(vrk::Action::Right), sf::Keyboard::D);
    ASSERT_TRUE(first->saveUserData());

    auto second = run();
    EXPECT_EQ(second->settings().key(vrk::Action::Up), sf::Keyboard::Z);

    auto unknown = run("dvorak");
    EXPECT_NE(errors.find("--Keys=dvorak"), std::string::npos) << errors;
    EXPECT_EQ(unknown->settings().key(vrk::Action::Up), sf::Keyboard::Z);

    auto back = run("qwerty");
    EXPECT_EQ(back->settings().key(vrk::Action::Up), sf::Keyboard::W);
}

// A preset moves the four walking keys only: the player's own run, pause and map keys stay and
// are saved so; one on a key the preset takes gets the walking key it replaced.
TEST_F(SettingsTest, KeysPresetsLeaveTheOtherBindingsAlone)
{
    using K = sf::Keyboard;
    const struct {
        const char* stored;
        const char* preset;
        K::Key up, left, run, pause, map;
    } cases[] = {
        {"[Keys Map = \"Tab\" Run = \"Space\" Pause = \"Numpad0\"]\n", "azerty", K::Z, K::Q, K::Space, K::Numpad0, K::Tab},
        {"[Keys Map = \"Z\"]\n", "azerty", K::Z, K::Q, K::LShift, K::P, K::W},
        {"[Keys Up = \"Numpad8\" Run = \"Q\"]\n", "azerty", K::Z, K::Q, K::A, K::P, K::M},
        {"[Keys Up = \"Z\" Left = \"Q\" Map = \"W\"]\n", "qwerty", K::W, K::A, K::LShift, K::P, K::Z},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " --Keys=" + c.preset);
        storeUserText(c.stored);
        auto program = run(c.preset);
        ASSERT_TRUE(program->saveUserData());
        const auto again = run();
        for (const auto* p : {program.get(), again.get()}) {
            const vrk::Settings& s = p->settings();
            EXPECT_EQ(s.key(vrk::Action::Up), c.up);
            EXPECT_EQ(s.key(vrk::Action::Left), c.left);
            EXPECT_EQ(s.key(vrk::Action::Down), K::S);
            EXPECT_EQ(s.key(vrk::Action::Right), K::D);
            EXPECT_EQ(s.key(vrk::Action::Run), c.run);
            EXPECT_EQ(s.key(vrk::Action::Pause), c.pause);
            EXPECT_EQ(s.key(vrk::Action::Map), c.map);
        }
    }
}

TEST_F(SettingsTest, TheDifficultyComesFromTheOptionOrTheUserDataAndIsRemembered)
{
    EXPECT_EQ(run()->settings().difficulty, vrk::Difficulty::Normal);
    struct Case {
        const char* stored;
        const char* option;
        vrk::Difficulty expected;
        const char* error; // a part of the one line reported, or nothing
    };
    const Case cases[] = {
        {"", "classic", vrk::Difficulty::Classic, ""},
        {"[Settings Difficulty = \"easy\"]\n", "", vrk::Difficulty::Easy, ""},
        {"[Settings Difficulty = \"easy\"]\n", "normal", vrk::Difficulty::Normal, ""},
        {"[Settings Difficulty = \"easy\"]\n", "hard", vrk::Difficulty::Easy, "--Difficulty=hard"},
        {"[Settings Difficulty = \"brutal\"]\n", "", vrk::Difficulty::Normal, "Settings.Difficulty = \"brutal\""},
        {"[Settings Difficulty = 2]\n", "", vrk::Difficulty::Normal, "Settings.Difficulty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " --Difficulty=" + c.option);
        storeUserText(c.stored);
        auto program = run("", c.option);
        EXPECT_EQ(program->settings().difficulty, c.expected);
        if (*c.error) {
            EXPECT_NE(errors.find(c.error), std::string::npos) << errors;
            EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        } else {
            EXPECT_EQ(errors, "");
        }
        ASSERT_TRUE(program->saveUserData());
        EXPECT_EQ(run()->settings().difficulty, c.expected);
        EXPECT_EQ(errors, "");
    }
}

TEST(SettingsNames, EveryKeyNameReadsBackToItsKey)
{
    int named = 0;
    for (int code = 0; code < vrk::KeyCount; ++code) {
        const auto key = static_cast<sf::Keyboard::Key>(code);
        if (const char* name = vrk::keyName(key)) {
            sf::Keyboard::Key back = sf::Keyboard::Unknown;
            EXPECT_TRUE(vrk::keyFromName(name, back)) << name;
            EXPECT_EQ(back, key) << name;
            ++named;
        }
    }
    EXPECT_GE(named, 60);
    sf::Keyboard::Key key = sf::Keyboard::A;
    EXPECT_FALSE(vrk::keyFromName("", key));
    EXPECT_FALSE(vrk::keyFromName("w", key)); // names are case-sensitive, as written
    EXPECT_EQ(key, sf::Keyboard::A);
}

// ---- the window ----

class WindowTest : public SettingsTest {
protected:
    void SetUp() override
    {
        SettingsTest::SetUp();
        ASSERT_TRUE(program.scene().create(vrk::SceneWidth, vrk::SceneHeight));
        vrk::testing::ProgramProbe::stateStack(program).push(program.quitState());
    }
    sf::Vector2f moveTo(int x, int y)
    {
        sf::Event move;
        move.type = sf::Event::MouseMoved;
        move.mouseMove.x = x;
        move.mouseMove.y = y;
        program.dispatchEvent(move);
        return program.pointer();
    }
    void pressKey(sf::Keyboard::Key code, bool alt = false)
    {
        sf::Event key;
        key.type = sf::Event::KeyPressed;
        key.key = sf::Event::KeyEvent{code, alt, false, false, false};
        program.dispatchEvent(key);
    }
    // The window pixel showing a scene position.
    sf::Vector2i windowPixel(sf::Vector2f scene) const
    {
        return sf::Vector2i(static_cast<int>(vrk::testing::ProgramProbe::offset(program).x + scene.x * vrk::testing::ProgramProbe::scaleX(program) + 0.5),
                            static_cast<int>(vrk::testing::ProgramProbe::offset(program).y + scene.y * vrk::testing::ProgramProbe::scaleY(program) + 0.5));
    }
    vrk::Program program;
};

TEST_F(WindowTest, TheFullscreenToggleKeepsTheMouseMappingRight)
{
    program.setOption("Window", "960x600"); // another shape than the scene: bars above and below
    ASSERT_TRUE(program.openWindow());
    ASSERT_FALSE(program.isFullscreen());
    ASSERT_EQ(program.window().getSize(), sf::Vector2u(960, 600));
    EXPECT_EQ(moveTo(480, 300), sf::Vector2f(960.f, 540.f));
    EXPECT_EQ(moveTo(0, 30), sf::Vector2f(0.f, 0.f)); // the picture's corner, under the bar

    vrk::testing::ProgramProbe::keyDown(program)[sf::Keyboard::W] = true;
    pressKey(sf::Keyboard::F11);
    ASSERT_TRUE(program.isFullscreen());
    EXPECT_EQ(program.settings().fullscreen, 1);
    EXPECT_EQ(program.window().getSize(),
              sf::Vector2u(sf::VideoMode::getDesktopMode().width, sf::VideoMode::getDesktopMode().height));
    EXPECT_FALSE(vrk::testing::ProgramProbe::keyDown(program)[sf::Keyboard::W]);
    for (const sf::Vector2f scene :
         {sf::Vector2f(960.f, 540.f), sf::Vector2f(0.f, 0.f), sf::Vector2f(1900.f, 1000.f)}) {
        const sf::Vector2i pixel = windowPixel(scene);
        const sf::Vector2f back = moveTo(pixel.x, pixel.y);
        EXPECT_NEAR(back.x, scene.x, 2.f);
        EXPECT_NEAR(back.y, scene.y, 2.f);
    }

    // Alt+Return goes back to the window of the run, at its size.
    pressKey(sf::Keyboard::Return, true);
    ASSERT_FALSE(program.isFullscreen());
    EXPECT_EQ(program.settings().fullscreen, 0);
    EXPECT_EQ(program.window().getSize(), sf::Vector2u(960, 600));
    EXPECT_EQ(moveTo(480, 300), sf::Vector2f(960.f, 540.f));
    program.window().close();
}

TEST_F(WindowTest, TheWindowOptionWinsForOneRunAndAResizeIsRemembered)
{
    program.settings().fullscreen = 1;
    program.settings().windowWidth = 800;
    program.settings().windowHeight = 450;
    program.setOption("Window", "640x360");
    ASSERT_TRUE(program.openWindow());
    EXPECT_FALSE(program.isFullscreen());
    // The window reports its opening size: that is the option's, not the player's choice.
    sf::Event opened;
    opened.type = sf::Event::Resized;
    opened.size = sf::Event::SizeEvent{640, 360};
    program.dispatchEvent(opened);
    EXPECT_EQ(program.settings().windowWidth, 800);
    EXPECT_EQ(program.settings().fullscreen, 1);

    program.window().setSize(sf::Vector2u(1000, 500));
    sf::Event resized;
    resized.type = sf::Event::Resized;
    resized.size = sf::Event::SizeEvent{1000, 500};
    program.dispatchEvent(resized);
    EXPECT_EQ(program.settings().windowWidth, 1000);
    EXPECT_EQ(program.settings().windowHeight, 500);
    // 500 / 1080 of the scene's height: bars left and right.
    EXPECT_NEAR(vrk::testing::ProgramProbe::scaleX(program), 500.0 / 1080.0, 1e-9);
    EXPECT_GT(vrk::testing::ProgramProbe::offset(program).x, 0.f);
    const sf::Vector2f centre = moveTo(500, 250);
    EXPECT_NEAR(centre.x, 960.f, 2.f);
    EXPECT_NEAR(centre.y, 540.f, 2.f);
    program.window().close();
}

} // namespace
