#include "game/Text.hpp"
#include "monsters/TestWorld.hpp"

#include <SFML/Graphics/Image.hpp>

#include <cmath>

namespace vrk {
namespace testing {

// The conversation's animation state, set directly so that a test can begin at the edge case it
// checks (a box halfway through a slide, a portrait part faded in) instead of replaying the
// steps that lead there.
struct DialogueProbe {
    explicit DialogueProbe(Dialogue& dialogue) : dialogue(dialogue) {}
    int& entry() { return dialogue.entryIndex; }
    double& charsShown() { return dialogue.shown; }
    int& boxX() { return dialogue.x; }
    int& boxHeight() { return dialogue.height; }
    int& faceAlpha() { return dialogue.alpha; }
    int& script() { return dialogue.script; }
    int savedCursor() const { return dialogue.savedCursor; }
    Dialogue& dialogue;
};

namespace {

constexpr int BoxSteps = 216 / BoxOpenSpeed;

class DialogueTest : public TestWorld {
protected:
    void SetUp() override
    {
        TestWorld::SetUp();
        program.setCursor(AnalyseCursor);
    }

    void say(const std::string& key, const std::string& words) { program.languageDocument().child(key).setString(words); }

    DialogueProbe probe() { return DialogueProbe(game->dialogue()); }
    std::string shown() const { return game->dialogue().text().getString().toAnsiString(); }

    void steps(int count)
    {
        for (int i = 0; i < count; ++i)
            game->dialogue().step();
    }

    // Puts the running opening conversation on `entry` with the box open at its place.
    void jumpTo(int entry)
    {
        probe().entry() = entry;
        probe().charsShown() = 0.0;
        probe().boxHeight() = game->dialogue().boxMaxHeight();
        probe().boxX() = Dialogue::scripts[0].entries[entry].side == 0 ? 10 : 182;
    }
};

TEST_F(DialogueTest, OpeningStartsOnThe51stStep)
{
    std::vector<int> parameters{50};
    for (int step = 1; step <= 50; ++step)
        ASSERT_FALSE(Dialogue::openingTask(*game, parameters)) << step;
    EXPECT_FALSE(game->dialogue().running());
    EXPECT_TRUE(Dialogue::openingTask(*game, parameters));
    EXPECT_EQ(game->dialogue().scriptId(), 0);
    EXPECT_DOUBLE_EQ(game->player().facing(), Pi / 2);
}

TEST_F(DialogueTest, BoxGeometryAndTalkCursor)
{
    game->dialogue().start(0);
    EXPECT_EQ(game->dialogue().boxWidth(), 1728);
    EXPECT_EQ(game->dialogue().boxMaxHeight(), 216);
    EXPECT_EQ(game->dialogue().boxHeight(), 0);
    EXPECT_EQ(game->dialogue().boxY(), 854);
    EXPECT_EQ(game->dialogue().boxX(), 10);
    EXPECT_EQ(game->dialogue().entry(), 0);
    EXPECT_EQ(game->dialogue().faceAlpha(), 0);
    EXPECT_EQ(game->dialogue().text().getPosition(), sf::Vector2f(20.0f, 864.0f));
    EXPECT_EQ(probe().savedCursor(), AnalyseCursor);
    EXPECT_EQ(program.cursor(), TalkCursor);
}

TEST_F(DialogueTest, BoxOpens8AStepThenTypesTheWords)
{
    say("_INITIAL_00_Maverick", "Hello");
    game->dialogue().start(0);
    for (int step = 1; step <= BoxSteps; ++step) {
        game->dialogue().step();
        ASSERT_EQ(game->dialogue().boxHeight(), 8 * step);
        ASSERT_EQ(shown(), "");
    }
    // 0.75 characters a step.
    const char* const typed[] = {"", "", "H", "He", "Hel", "Hel", "Hell", "Hello", "Hello"};
    for (const char* expected : typed) {
        game->dialogue().step();
        EXPECT_EQ(shown(), expected);
    }
    EXPECT_EQ(game->dialogue().charsShown(), 5.25);
    steps(5);
    EXPECT_EQ(game->dialogue().charsShown(), 5.25);
}

TEST_F(DialogueTest, AClickCompletesTheLineAndTheNextMovesOn)
{
    say("_INITIAL_00_Maverick", "H\xc3\xa9llo there");
    say("_INITIAL_05_Maverick", "Second");
    say("_INITIAL_10_Hunter", "Third");
    game->dialogue().start(0);
    steps(BoxSteps + 4);
    game->dialogue().advance();
    EXPECT_EQ(game->dialogue().entry(), 0);
    EXPECT_EQ(game->dialogue().charsShown(), 11.0); // characters, not bytes
    game->dialogue().step();
    probe().faceAlpha() = 100;
    EXPECT_EQ(game->dialogue().text().getString(), utf8ToSfString("H\xc3\xa9llo there"));

    game->dialogue().advance();
    EXPECT_EQ(game->dialogue().entry(), 1);
    EXPECT_EQ(game->dialogue().charsShown(), 0.0);
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(game->dialogue().faceAlpha(), 100); // the same face stays

    game->dialogue().advance(); // nothing typed yet: completes the line
    EXPECT_EQ(game->dialogue().entry(), 1);
    game->dialogue().advance();
    EXPECT_EQ(game->dialogue().entry(), 2);
    EXPECT_EQ(game->dialogue().faceAlpha(), 0); // a new face fades in
}

TEST_F(DialogueTest, BoxSlidesToTheSpeakersSide)
{
    game->dialogue().start(0);
    jumpTo(2);
    probe().boxX() = 10; // still where the left speaker had it
    std::vector<int> positions;
    for (int step = 0; step < 23; ++step) {
        game->dialogue().step();
        positions.push_back(game->dialogue().boxX());
    }
    for (int step = 0; step < 22; ++step)
        EXPECT_EQ(positions[step], 18 + 8 * step) << step;
    EXPECT_EQ(positions[22], 182);

    jumpTo(4);
    probe().boxX() = 182;
    positions.clear();
    for (int step = 0; step < 23; ++step) {
        game->dialogue().step();
        positions.push_back(game->dialogue().boxX());
    }
    for (int step = 0; step < 22; ++step)
        EXPECT_EQ(positions[step], 174 - 8 * step) << step;
    EXPECT_EQ(positions[22], 10);
}

TEST_F(DialogueTest, MissingWordsShowAnEmptyLineAndGoOn)
{
    game->dialogue().start(0);
    steps(BoxSteps + 3);
    EXPECT_EQ(shown(), "");
    game->dialogue().advance();
    EXPECT_EQ(game->dialogue().entry(), 1);
    EXPECT_FALSE(program.languageDocument().exists("_INITIAL_00_Maverick"));
}

TEST_F(DialogueTest, ActionLinesShowTheirWordsRunTheActionOnceAndWaitForAClick)
{
    game->dialogue().start(0);
    say("_INITIAL_10_LogMsg", "Escape.");
    jumpTo(22); // the help line: its action adds three lines to the log
    steps(4);   // 1.5 characters a step: "Esca" typed, no action yet
    EXPECT_EQ(shown(), "Esca");
    EXPECT_TRUE(game->log().lines().empty());
    steps(40);
    EXPECT_EQ(shown(), "Escape.");
    EXPECT_EQ(game->log().size(), 3u); // once, not once a step
    EXPECT_EQ(game->dialogue().entry(), 22);
    EXPECT_EQ(game->dialogue().scriptId(), 0); // still waiting for the click
    game->dialogue().advance();
    EXPECT_EQ(game->dialogue().scriptId(), 1);
    EXPECT_EQ(game->log().size(), 3u);

    game->dialogue().start(0);
    jumpTo(20); // main theme, empty words: straight on
    game->dialogue().step();
    EXPECT_EQ(game->dialogue().entry(), 21);
}

TEST_F(DialogueTest, ClickingFastPastAnActionLineStillRunsItsAction)
{
    game->dialogue().start(0);
    say("_INITIAL_10_LogMsg", "Escape the laboratory.");
    jumpTo(22);
    game->dialogue().step();
    game->dialogue().advance(); // the whole line at once
    game->dialogue().advance(); // and past it before a step showed it
    EXPECT_EQ(game->dialogue().scriptId(), 1);
    EXPECT_EQ(game->log().size(), 3u);
}

// The help names the buttons and the keys bound now, whatever the preset or a key of the
// player's own.
TEST_F(DialogueTest, HelpLineAddsItsTextsWithTheBoundKeysAndClosesWithoutAClick)
{
    const char* const buttons = "Left click: attack or use. Right click: change mode.";
    const struct {
        const char* preset;
        sf::Keyboard::Key up, run, pause, map; // bound after the preset, when not Unknown
        const char* keys;
        const char* leave;
    } cases[] = {
        {"qwerty", sf::Keyboard::Unknown, sf::Keyboard::Unknown, sf::Keyboard::Unknown, sf::Keyboard::Unknown,
         "Walk: WASD or arrows. Run: LShift. Map: M.", "Pause: P. Leave the level: Escape."},
        {"azerty", sf::Keyboard::Unknown, sf::Keyboard::Unknown, sf::Keyboard::Unknown, sf::Keyboard::Unknown,
         "Walk: ZQSD or arrows. Run: LShift. Map: M.", "Pause: P. Leave the level: Escape."},
        {"qwerty", sf::Keyboard::Numpad8, sf::Keyboard::Unknown, sf::Keyboard::Unknown, sf::Keyboard::Unknown,
         "Walk: Numpad8 A S D or arrows. Run: LShift. Map: M.", "Pause: P. Leave the level: Escape."},
        {"qwerty", sf::Keyboard::Unknown, sf::Keyboard::Space, sf::Keyboard::Numpad0, sf::Keyboard::Tab,
         "Walk: WASD or arrows. Run: Space. Map: Tab.", "Pause: Numpad0. Leave the level: Escape."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        program.settings() = Settings();
        ASSERT_TRUE(program.settings().applyKeyPreset(c.preset));
        const std::pair<Action, sf::Keyboard::Key> own[] = {
            {Action::Up, c.up}, {Action::Run, c.run}, {Action::Pause, c.pause}, {Action::Map, c.map}};
        for (const auto& [action, key] : own)
            if (key != sf::Keyboard::Unknown)
                program.settings().bind(action, key);
        game->log().clear();
        program.setCursor(AnalyseCursor);
        game->dialogue().start(0);
        jumpTo(22);
        game->dialogue().step();
        ASSERT_EQ(game->log().lines().size(), 3u);
        auto message = game->log().lines().begin();
        EXPECT_EQ((message++)->getString(), buttons);
        EXPECT_EQ((message++)->getString(), c.keys);
        EXPECT_EQ(message->getString(), c.leave);
        EXPECT_EQ(game->dialogue().scriptId(), 1);
        EXPECT_EQ(game->dialogue().entry(), 0);
        EXPECT_EQ(program.cursor(), AnalyseCursor);
    }
}

TEST_F(DialogueTest, ClosingBoxFoldsWhileSlidingLeft)
{
    game->dialogue().start(0);
    jumpTo(22);
    game->dialogue().step();
    ASSERT_EQ(game->dialogue().scriptId(), 1);
    for (int step = 1; step <= BoxSteps; ++step) {
        ASSERT_TRUE(game->dialogue().running()) << step;
        game->dialogue().step();
        EXPECT_EQ(game->dialogue().boxHeight(), 216 - 8 * step) << step;
        // The closing entry sits on the left: the box slides there while it folds.
        EXPECT_EQ(game->dialogue().boxX(), step <= 22 ? 182 - 8 * step : 10) << step;
    }
    EXPECT_FALSE(game->dialogue().running());
    EXPECT_EQ(program.cursor(), AnalyseCursor);
}

class DialogueDrawTest : public DialogueTest {
protected:
    void SetUp() override
    {
        DialogueTest::SetUp();
        ASSERT_TRUE(program.scene().create(SceneWidth, SceneHeight));
    }

    sf::Image frame()
    {
        program.scene().clear(sf::Color::Black);
        game->dialogue().draw(program.scene());
        program.scene().display();
        return program.scene().getTexture().copyToImage();
    }
};

TEST_F(DialogueDrawTest, BoxOpensAboutItsMiddleLineWithAWhiteOutline)
{
    game->dialogue().start(0);
    EXPECT_EQ(frame().getPixel(500, 962), sf::Color::Black); // nothing while the height is 0
    probe().boxHeight() = 16;
    const sf::Image image = frame();
    // 16 high, centred on the middle of a 216 box at y 854: rows 954 to 969.
    EXPECT_EQ(image.getPixel(500, 962), sf::Color(196, 0, 0));
    EXPECT_EQ(image.getPixel(500, 954), sf::Color(196, 0, 0));
    EXPECT_EQ(image.getPixel(500, 953), sf::Color::White);
    EXPECT_EQ(image.getPixel(500, 970), sf::Color::White);
    EXPECT_EQ(image.getPixel(500, 945), sf::Color::Black);
    EXPECT_EQ(image.getPixel(9, 962), sf::Color::White);
    EXPECT_EQ(image.getPixel(5, 962), sf::Color::Black);
}

TEST_F(DialogueDrawTest, PortraitFadesIn8PerStepAndTheClosingBoxHasNone)
{
    game->dialogue().start(0);
    for (int i = 0; i < 40; ++i) {
        const int alpha = game->dialogue().faceAlpha();
        EXPECT_EQ(alpha, std::min(255, FaceFadeSpeed * i));
        game->dialogue().draw(program.scene());
        game->dialogue().draw(program.scene());
        EXPECT_EQ(game->sprite(MaverickFaceTexture).getColor(),
                  sf::Color(255, 255, 255, static_cast<sf::Uint8>(alpha)));
        game->dialogue().step();
    }
    EXPECT_EQ(game->dialogue().faceAlpha(), 255);
    probe().script() = 1;
    probe().entry() = 0;
    probe().faceAlpha() = 0;
    game->dialogue().step();
    frame();
    EXPECT_EQ(game->dialogue().faceAlpha(), 0);
}

} // namespace
} // namespace testing
} // namespace vrk
