// The options screen driven by synthetic events, as the player would: each change is checked in
// the settings, in the saved file and in a fresh read of that file.
#include "shell/OptionsScreen.hpp"
#include "shell/OptionsStyle.hpp"
#include "shell/Program.hpp"
#include "tests/shell/ProgramProbe.hpp"
#include "UserDataDir.hpp"
#include "tavric/text/Documents.hpp"
#include "tests/Contrast.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

namespace {

using vrk::OptionsScreen;
using vrk::Settings;

const char* const twoLanguages = "[Language\n"
                                 "  [En OptionsLanguageName = \"English\"]\n"
                                 "  [Fr OptionsLanguageName = \"Français\" OptionsActionUp = \"Monter\"\n"
                                 "      OptionsPressKey = \"Une touche pour {action}\"]\n"
                                 "]\n";

// Public: the tables of cases below drive it from lambdas.
class OptionsScreenTest : public vrk::testing::UserDataDirTest {
public:
    OptionsScreenTest() : UserDataDirTest(twoLanguages) {}

    void SetUp() override
    {
        UserDataDirTest::SetUp();
        std::filesystem::create_directories("res");
        std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "res/text_font.ttf");
        ASSERT_TRUE(program.loadConfiguration());
        program.readSettings();
        program.chooseLanguage();
        ASSERT_TRUE(program.scene().create(vrk::SceneWidth, vrk::SceneHeight));
        vrk::testing::ProgramProbe::stateStack(program).push(program.quitState());
        program.settings().fullscreen = 0;
        program.settings().windowWidth = 960;
        program.settings().windowHeight = 540;
        ASSERT_TRUE(program.openWindow());
        ASSERT_TRUE(screen.load());
        screen.open();
    }

    void TearDown() override
    {
        program.window().close();
        UserDataDirTest::TearDown();
    }

    void send(sf::Event event) { screen.handleEvent(event); }
    void press(sf::Keyboard::Key code)
    {
        sf::Event event;
        event.type = sf::Event::KeyPressed;
        event.key = sf::Event::KeyEvent{code, false, false, false, false};
        send(event);
    }
    void mouse(sf::Event::EventType type, sf::Vector2f at)
    {
        sf::Event event;
        event.type = type;
        if (type == sf::Event::MouseMoved)
            event.mouseMove = sf::Event::MouseMoveEvent{static_cast<int>(at.x), static_cast<int>(at.y)};
        else
            event.mouseButton =
                sf::Event::MouseButtonEvent{sf::Mouse::Left, static_cast<int>(at.x), static_cast<int>(at.y)};
        send(event);
    }
    void click(sf::Vector2f at)
    {
        mouse(sf::Event::MouseMoved, at);
        mouse(sf::Event::MouseButtonPressed, at);
        mouse(sf::Event::MouseButtonReleased, at);
    }
    // Chooses a row with the arrow keys, as a keyboard player would.
    void goTo(int row)
    {
        while (screen.selectedRow() != row)
            press(sf::Keyboard::Down);
    }
    static sf::Vector2f centre(sf::FloatRect area)
    {
        return {area.left + area.width / 2.f, area.top + area.height / 2.f};
    }
    static sf::Vector2f onSlider(int row, float share)
    {
        const sf::FloatRect track = OptionsScreen::sliderArea(row);
        return {track.left + share * track.width, track.top + track.height / 2.f};
    }

    // The settings a fresh run reads from the file saved, and its language.
    Settings savedSettings(std::string& language)
    {
        vrk::Program next;
        EXPECT_TRUE(next.loadUserData());
        std::ostringstream errors;
        next.settings().read(next.userDocument(), errors);
        EXPECT_EQ(errors.str(), "");
        language = next.userDocument().child("CurrentLanguage", zul::publicUser).getString(zul::publicUser);
        return next.settings();
    }

    // Both settings as the user data would hold them.
    static void expectSame(const Settings& actual, const Settings& expected, const std::string& where)
    {
        zul::NameDictionary names;
        zul::Tavric left(&names), right(&names);
        actual.write(left);
        expected.write(right);
        std::ostringstream leftText, rightText;
        zul::write(left, leftText);
        zul::write(right, rightText);
        EXPECT_NE(rightText.str().find("MusicVolume"), std::string::npos);
        EXPECT_EQ(leftText.str(), rightText.str()) << where;
    }

    vrk::Program program;
    OptionsScreen screen{program};
};

// ---- every row ----

struct RowCase {
    const char* name;
    std::function<void(OptionsScreenTest&)> act;
    std::function<void(Settings&)> expect;
    const char* language;
    bool volumes;
};

TEST_F(OptionsScreenTest, EveryRowChangesTheSettingAndSavesItAtOnce)
{
    const std::vector<sf::Vector2u> sizes = OptionsScreen::windowSizes(
        sf::VideoMode::getFullscreenModes(), sf::VideoMode::getDesktopMode().bitsPerPixel, {{960, 540}, {1280, 720}});
    const auto at = std::find(sizes.begin(), sizes.end(), sf::Vector2u(960, 540));
    ASSERT_NE(at, sizes.end());
    const sf::Vector2u nextSize = at + 1 == sizes.end() ? sizes.front() : *(at + 1);
    const sf::Vector2u previousSize = at == sizes.begin() ? sizes.back() : *(at - 1);

    const RowCase cases[] = {
        {"music down by key", [](auto& t) { t.goTo(OptionsScreen::MusicRow), t.press(sf::Keyboard::Left); },
         [](Settings& s) { s.musicVolume = 90; }, "En", true},
        {"music by a click on its track", [](auto& t) { t.click(onSlider(OptionsScreen::MusicRow, 0.3f)); },
         [](Settings& s) { s.musicVolume = 30; }, "En", true},
        {"effects dragged along the track",
         [](auto& t) {
             t.mouse(sf::Event::MouseButtonPressed, onSlider(OptionsScreen::EffectsRow, 0.f));
             t.mouse(sf::Event::MouseMoved, onSlider(OptionsScreen::EffectsRow, 0.52f));
             t.mouse(sf::Event::MouseMoved, onSlider(OptionsScreen::EffectsRow, 0.69f));
             t.mouse(sf::Event::MouseButtonReleased, onSlider(OptionsScreen::EffectsRow, 0.69f));
             // Released: moving on leaves the volume where it was.
             t.mouse(sf::Event::MouseMoved, onSlider(OptionsScreen::EffectsRow, 1.f));
         },
         [](Settings& s) { s.effectsVolume = 70; }, "En", true},
        {"fullscreen by Return", [](auto& t) { t.goTo(OptionsScreen::FullscreenRow), t.press(sf::Keyboard::Return); },
         [](Settings& s) { s.fullscreen = 1; }, "En", false},
        {"window size forward by key", [](auto& t) { t.goTo(OptionsScreen::WindowRow), t.press(sf::Keyboard::Right); },
         [&](Settings& s) { s.windowWidth = int(nextSize.x), s.windowHeight = int(nextSize.y); }, "En", false},
        {"window size back by a click on its arrow",
         [](auto& t) {
             const sf::FloatRect row = OptionsScreen::rowArea(OptionsScreen::WindowRow);
             t.click({vrk::OptionsLeftValue + 10.f, row.top + row.height / 2.f});
         },
         [&](Settings& s) { s.windowWidth = int(previousSize.x), s.windowHeight = int(previousSize.y); }, "En", false},
        {"window size chosen in fullscreen, for the window F11 gives",
         [](auto& t) {
             t.goTo(OptionsScreen::FullscreenRow), t.press(sf::Keyboard::Return);
             t.press(sf::Keyboard::Down), t.press(sf::Keyboard::Right);
             sf::Event f11;
             f11.type = sf::Event::KeyPressed;
             f11.key = sf::Event::KeyEvent{sf::Keyboard::F11, false, false, false, false};
             t.program.dispatchEvent(f11);
             t.program.saveSettings();
         },
         [&](Settings& s) { s.windowWidth = int(nextSize.x), s.windowHeight = int(nextSize.y); }, "En", false},
        {"music held down, then let go",
         [](auto& t) {
             t.press(sf::Keyboard::Left);
             vrk::testing::ProgramProbe::keyDown(t.program)[sf::Keyboard::Left] = true;
             for (int step = 0; step < 15; ++step)
                 t.screen.update();
             vrk::testing::ProgramProbe::keyDown(t.program)[sf::Keyboard::Left] = false;
             t.screen.update();
         },
         [](Settings& s) { s.musicVolume = 70; }, "En", true},
        {"language by a click", [](auto& t) { t.click(centre(OptionsScreen::rowArea(OptionsScreen::LanguageRow))); },
         [](Settings&) {}, "Fr", false},
        {"difficulty forward then back twice",
         [](auto& t) {
             t.goTo(OptionsScreen::DifficultyRow);
             t.press(sf::Keyboard::Right), t.press(sf::Keyboard::Left), t.press(sf::Keyboard::Left);
         },
         [](Settings& s) { s.difficulty = vrk::Difficulty::Easy; }, "En", false},
    };
    for (const RowCase& c : cases) {
        program.settings() = Settings();
        program.settings().fullscreen = 0;
        program.settings().windowWidth = 960;
        program.settings().windowHeight = 540;
        ASSERT_TRUE(program.applyWindowSettings());
        ASSERT_TRUE(program.setLanguage("En"));
        screen.open();
        screen.volumesChanged();
        Settings expected = program.settings();
        c.expect(expected);

        c.act(*this);
        expectSame(program.settings(), expected, c.name);
        EXPECT_EQ(screen.volumesChanged(), c.volumes) << c.name;
        EXPECT_EQ(screen.statusLine(), "") << c.name;
        EXPECT_EQ(program.languageDocument().getName(), c.language) << c.name;
        // The window is what the settings say, at once.
        EXPECT_EQ(program.isFullscreen(), expected.fullscreen == 1) << c.name;
        if (!expected.fullscreen) {
            EXPECT_EQ(program.window().getSize(),
                      sf::Vector2u(unsigned(expected.windowWidth), unsigned(expected.windowHeight)))
                << c.name;
        }
        std::string language;
        expectSame(savedSettings(language), expected, c.name);
        EXPECT_EQ(language, c.language) << c.name;
    }
}

TEST_F(OptionsScreenTest, TheMenusSpeakTheNewLanguageAtOnceAndFallBackToEnglish)
{
    goTo(OptionsScreen::LanguageRow);
    press(sf::Keyboard::Right);
    ASSERT_EQ(program.languageDocument().getName(), "Fr");
    goTo(OptionsScreen::FirstKeyRow);
    press(sf::Keyboard::Return);
    EXPECT_EQ(screen.statusLine(), "Une touche pour Monter");
    press(sf::Keyboard::Escape);
    // Fr lacks the walking-down words: the English ones show, not a blank.
    press(sf::Keyboard::Down);
    press(sf::Keyboard::Return);
    EXPECT_EQ(screen.statusLine(), "Une touche pour Walk down");
    press(sf::Keyboard::Escape);
    // Back to English: the French texts linked before are gone.
    goTo(OptionsScreen::LanguageRow);
    press(sf::Keyboard::Left);
    EXPECT_FALSE(program.languageDocument().exists("OptionsActionUp"));
}

// ---- keys ----

struct BindCase {
    vrk::Action action;
    sf::Keyboard::Key key;
    // The bindings after, in the order of Action, and the line said.
    std::vector<sf::Keyboard::Key> keys;
    const char* status;
};

TEST_F(OptionsScreenTest, ABoundKeySwapsAndAReservedOneIsRefused)
{
    using K = sf::Keyboard;
    const std::vector<K::Key> defaults{K::W, K::S, K::A, K::D, K::LShift, K::P, K::M, K::E};
    const BindCase cases[] = {
        {vrk::Action::Map, K::K, {K::W, K::S, K::A, K::D, K::LShift, K::P, K::K, K::E}, ""},
        {vrk::Action::Down,
         K::W,
         {K::S, K::W, K::A, K::D, K::LShift, K::P, K::M, K::E},
         "Walk up had that key: it takes the old one."},
        {vrk::Action::Run, K::Space, {K::W, K::S, K::A, K::D, K::Space, K::P, K::M, K::E}, ""},
        {vrk::Action::Up, K::F5, defaults, "F5 is kept for the game itself: choose another."},
        {vrk::Action::Pause, K::F11, defaults, "F11 is kept for the game itself: choose another."},
        {vrk::Action::Left, K::F1, defaults, "That key cannot be bound: choose another."},
        {vrk::Action::Left, K::Escape, defaults, ""},
    };
    for (const BindCase& c : cases) {
        program.settings() = Settings();
        ASSERT_TRUE(program.saveSettings());
        screen.open();
        const int row = OptionsScreen::FirstKeyRow + static_cast<int>(c.action);
        click(centre(OptionsScreen::rowArea(row)));
        ASSERT_TRUE(screen.waitingForKey()) << vrk::actionName(c.action);
        EXPECT_NE(screen.statusLine().find("Escape to cancel"), std::string::npos);
        press(c.key);
        EXPECT_FALSE(screen.waitingForKey());
        EXPECT_TRUE(screen.isOpen()); // Escape ends the wait, not the screen
        EXPECT_EQ(screen.statusLine(), c.status) << vrk::actionName(c.action);
        std::string language;
        const Settings saved = savedSettings(language);
        for (int i = 0; i < vrk::ActionCount; ++i) {
            EXPECT_EQ(program.settings().keys[i], c.keys[i]) << vrk::actionName(c.action) << " " << i;
            EXPECT_EQ(saved.keys[i], c.keys[i]) << vrk::actionName(c.action) << " " << i;
        }
    }
}

// ---- reset, leaving, saving ----

TEST_F(OptionsScreenTest, ResetBringsBackEveryDefaultAndBackCloses)
{
    Settings& settings = program.settings();
    settings.musicVolume = 20;
    settings.effectsVolume = 0;
    settings.difficulty = vrk::Difficulty::Classic;
    settings.applyKeyPreset("azerty");
    click(centre(OptionsScreen::rowArea(OptionsScreen::ResetRow)));
    EXPECT_EQ(screen.statusLine(), "Every setting is back to its default.");
    EXPECT_TRUE(screen.volumesChanged());
    EXPECT_FALSE(screen.volumesChanged()); // read once
    const Settings defaults;
    expectSame(settings, defaults, "reset");
    EXPECT_EQ(program.isFullscreen(), defaults.fullscreen == 1);
    std::string language;
    expectSame(savedSettings(language), defaults, "reset, saved");

    goTo(OptionsScreen::BackRow);
    press(sf::Keyboard::Return);
    EXPECT_FALSE(screen.isOpen());
    screen.open();
    press(sf::Keyboard::Escape);
    EXPECT_FALSE(screen.isOpen());
}

TEST_F(OptionsScreenTest, AFailedSaveSaysSoOnceAndLeavesTheOldFileWhole)
{
    ASSERT_TRUE(program.saveSettings());
    const std::string before = vrk::testing::readFile("data.vrk");

    std::string said;
    {
        const vrk::testing::FullDisk full;
        ASSERT_TRUE(full.limited);
        ::testing::internal::CaptureStderr();
        press(sf::Keyboard::Left); // music to 90
        said = ::testing::internal::GetCapturedStderr();
    }

    EXPECT_EQ(said, "Cannot save the user data: cannot write the new content of './data.vrk': File too large\n");
    EXPECT_EQ(screen.statusLine(), "Could not save: the change holds for this run only.");
    EXPECT_EQ(vrk::testing::readFile("data.vrk"), before);
    EXPECT_EQ(program.settings().musicVolume, 90);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("."))
        ++files;
    EXPECT_EQ(files, 3u) << "data.vrk, lev and res only: no temporary file left";

    // The next change saves both.
    press(sf::Keyboard::Down);
    press(sf::Keyboard::Left);
    std::string language;
    const Settings saved = savedSettings(language);
    EXPECT_EQ(saved.musicVolume, 90);
    EXPECT_EQ(saved.effectsVolume, 90);
}

// ---- the window sizes and the picture ----

TEST(OptionsWindowSizes, TheDisplaysSizesOfItsDepthOnceEachFromTheSmallestWithTheCurrentOne)
{
    const std::vector<sf::VideoMode> modes{{1920, 1080, 24}, {1280, 720, 24}, {1280, 720, 24}, {1024, 768, 16},
                                           {1280, 1024, 24}, {800, 600, 24},  {320, 160, 24}};
    EXPECT_EQ(OptionsScreen::windowSizes(modes, 24, {{1000, 500}}),
              (std::vector<sf::Vector2u>{{800, 600}, {1000, 500}, {1280, 720}, {1280, 1024}, {1920, 1080}}));
    EXPECT_EQ(OptionsScreen::windowSizes(modes, 24, {{1280, 720}}),
              (std::vector<sf::Vector2u>{{800, 600}, {1280, 720}, {1280, 1024}, {1920, 1080}}));
    EXPECT_EQ(OptionsScreen::windowSizes({}, 24, {{640, 360}}), (std::vector<sf::Vector2u>{{640, 360}}));
    EXPECT_EQ(OptionsScreen::windowSizes({{1920, 1080, 24}}, 24, {{1920, 1080}, {1280, 720}, {1000, 500}}),
              (std::vector<sf::Vector2u>{{1000, 500}, {1280, 720}, {1920, 1080}}));
}

// Once the largest size was chosen, and the screen closed and opened again, Left and Right both
// still reach the default size, and come round to the size it opened with.
TEST_F(OptionsScreenTest, ALargerWindowSizeIsNoWayOfNoReturn)
{
    for (const sf::Keyboard::Key way : {sf::Keyboard::Left, sf::Keyboard::Right}) {
        SCOPED_TRACE(way == sf::Keyboard::Left ? "Left" : "Right");
        Settings& settings = program.settings();
        settings.windowWidth = 960;
        settings.windowHeight = 540;
        ASSERT_TRUE(program.applyWindowSettings());
        screen.open();
        goTo(OptionsScreen::WindowRow);
        const std::vector<sf::Vector2u> offered = OptionsScreen::windowSizes(
            sf::VideoMode::getFullscreenModes(), sf::VideoMode::getDesktopMode().bitsPerPixel, {{960, 540}, {1280, 720}});
        const sf::Vector2u largest = offered.back();
        for (std::size_t i = 0; i < offered.size() && sf::Vector2u(settings.windowWidth, settings.windowHeight) != largest; ++i)
            press(sf::Keyboard::Right);
        ASSERT_EQ(sf::Vector2u(settings.windowWidth, settings.windowHeight), largest);
        screen.open();
        goTo(OptionsScreen::WindowRow);
        std::vector<sf::Vector2u> seen;
        for (std::size_t i = 0; i < offered.size() + 2; ++i) {
            press(way);
            seen.emplace_back(settings.windowWidth, settings.windowHeight);
        }
        EXPECT_NE(std::find(seen.begin(), seen.end(), sf::Vector2u(1280, 720)), seen.end());
        // The size it had when this screen opened came back too, and the window follows.
        EXPECT_NE(std::find(seen.begin(), seen.end(), largest), seen.end());
        EXPECT_EQ(program.window().getSize(), seen.back());
    }
}

// Within one step of each channel: the GPU rounds blending its own way.
void expectNear(sf::Color actual, sf::Color expected, const char* where)
{
    EXPECT_NEAR(actual.r, expected.r, 1) << where;
    EXPECT_NEAR(actual.g, expected.g, 1) << where;
    EXPECT_NEAR(actual.b, expected.b, 1) << where;
}

TEST_F(OptionsScreenTest, TheShadeAndTheHighlightAreDrawnAndEveryTextReadsAtFourAndAHalfToOne)
{
    program.scene().clear(sf::Color::White);
    program.settings().musicVolume = 50;
    mouse(sf::Event::MouseMoved, centre(OptionsScreen::rowArea(OptionsScreen::EffectsRow)));
    screen.draw();
    program.scene().display();
    const sf::Image picture = program.scene().getTexture().copyToImage();
    // The lightest scene the texts can lie on: white under the shade, and under the highlight too.
    const sf::Color shaded = legibility::over(vrk::OptionsShade, sf::Color::White);
    const sf::Color highlighted = legibility::over(vrk::OptionsHighlight, shaded);
    const sf::FloatRect chosen = OptionsScreen::rowArea(OptionsScreen::EffectsRow);
    expectNear(picture.getPixel(5, 5), shaded, "shade");
    expectNear(picture.getPixel(unsigned(chosen.left + 4), unsigned(chosen.top + 4)), highlighted, "highlight");
    const sf::FloatRect other = OptionsScreen::rowArea(OptionsScreen::MusicRow);
    expectNear(picture.getPixel(unsigned(other.left + 4), unsigned(other.top + 4)), shaded, "another row");
    // The music track filled to half its width.
    const sf::Vector2f quarter = onSlider(OptionsScreen::MusicRow, 0.25f);
    const sf::Vector2f threeQuarters = onSlider(OptionsScreen::MusicRow, 0.75f);
    expectNear(picture.getPixel(unsigned(quarter.x), unsigned(quarter.y)), vrk::OptionsText, "filled");
    expectNear(picture.getPixel(unsigned(threeQuarters.x), unsigned(threeQuarters.y)), vrk::OptionsTrack, "track");

    for (const sf::Color text :
         {vrk::OptionsText, vrk::OptionsChosenText, vrk::OptionsQuietText, vrk::OptionsWarningText})
        for (const sf::Color behind : {shaded, highlighted}) {
            EXPECT_GE(legibility::ratio(text, behind), 4.5) << int(text.r) << "," << int(text.g) << "," << int(text.b);
        }
}

} // namespace
