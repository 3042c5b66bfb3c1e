#include "game/Text.hpp"
#include "monsters/TestWorld.hpp"

#include <SFML/Graphics/Image.hpp>

#include <cmath>

namespace vrk {
namespace testing {
namespace {

constexpr int TalkCursor = 4;
constexpr int AnalyseCursor = 2;
constexpr int BoxSteps = 27; // 216 high, 8 a step

class DialogueTest : public TestWorld {
protected:
    void SetUp() override
    {
        TestWorld::SetUp();
        program.cursorIndex = AnalyseCursor;
    }

    void say(const std::string& key, const std::string& words) { program.languageDocument.child(key).setString(words); }

    std::string shown() const { return game->dialogueText.getString().toAnsiString(); }

    void steps(int count)
    {
        for (int i = 0; i < count; ++i)
            game->dialogueStep();
    }

    // Puts the running opening conversation on `entry` with the box open at its place.
    void jumpTo(int entry)
    {
        game->dialogueEntry = entry;
        game->charsShown = 0.0;
        game->boxHeight = game->boxMaxHeight;
        game->boxX = Ingame::dialogueScripts[0].entries[entry].side == 0 ? 10 : 182;
    }
};

TEST_F(DialogueTest, OpeningStartsOnThe51stStep)
{
    std::vector<int> parameters{50};
    for (int step = 1; step <= 50; ++step)
        ASSERT_FALSE(Ingame::openingDialogueTask(*game, parameters)) << step;
    EXPECT_FALSE(game->dialogueRunning());
    EXPECT_TRUE(Ingame::openingDialogueTask(*game, parameters));
    EXPECT_EQ(game->dialogueScript, 0);
    EXPECT_DOUBLE_EQ(game->facingAngle, 3.14159265358979323846 / 2);
}

TEST_F(DialogueTest, BoxGeometryAndTalkCursor)
{
    game->startDialogue(0);
    EXPECT_EQ(game->boxWidth, 1728);
    EXPECT_EQ(game->boxMaxHeight, 216);
    EXPECT_EQ(game->boxHeight, 0);
    EXPECT_EQ(game->boxY, 854);
    EXPECT_EQ(game->boxX, 10);
    EXPECT_EQ(game->dialogueEntry, 0);
    EXPECT_EQ(game->faceAlpha, 0);
    EXPECT_EQ(game->dialogueText.getPosition(), sf::Vector2f(20.0f, 864.0f));
    EXPECT_EQ(game->savedCursor, AnalyseCursor);
    EXPECT_EQ(program.cursorIndex, TalkCursor);
}

TEST_F(DialogueTest, BoxOpens8AStepThenTypesTheWords)
{
    say("_INITIAL_00_Maverick", "Hello");
    game->startDialogue(0);
    for (int step = 1; step <= BoxSteps; ++step) {
        game->dialogueStep();
        ASSERT_EQ(game->boxHeight, 8 * step);
        ASSERT_EQ(shown(), "");
    }
    // 0.75 characters a step.
    const char* const typed[] = {"", "", "H", "He", "Hel", "Hel", "Hell", "Hello", "Hello"};
    for (const char* expected : typed) {
        game->dialogueStep();
        EXPECT_EQ(shown(), expected);
    }
    EXPECT_EQ(game->charsShown, 5.25);
    steps(5);
    EXPECT_EQ(game->charsShown, 5.25);
}

TEST_F(DialogueTest, AClickCompletesTheLineAndTheNextMovesOn)
{
    say("_INITIAL_00_Maverick", "H\xc3\xa9llo there");
    say("_INITIAL_05_Maverick", "Second");
    say("_INITIAL_10_Hunter", "Third");
    game->startDialogue(0);
    steps(BoxSteps + 4);
    game->faceAlpha = 100;
    game->advanceDialogue();
    EXPECT_EQ(game->dialogueEntry, 0);
    EXPECT_EQ(game->charsShown, 11.0); // characters, not bytes
    game->dialogueStep();
    EXPECT_EQ(game->dialogueText.getString(), utf8ToSfString("H\xc3\xa9llo there"));

    game->advanceDialogue();
    EXPECT_EQ(game->dialogueEntry, 1);
    EXPECT_EQ(game->charsShown, 0.0);
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(game->faceAlpha, 100); // the same face stays

    game->advanceDialogue(); // nothing typed yet: completes the line
    EXPECT_EQ(game->dialogueEntry, 1);
    game->advanceDialogue();
    EXPECT_EQ(game->dialogueEntry, 2);
    EXPECT_EQ(game->faceAlpha, 0); // a new face fades in
}

TEST_F(DialogueTest, BoxSlidesToTheSpeakersSide)
{
    game->startDialogue(0);
    jumpTo(2);
    game->boxX = 10; // still where the left speaker had it
    std::vector<int> positions;
    for (int step = 0; step < 23; ++step) {
        game->dialogueStep();
        positions.push_back(game->boxX);
    }
    for (int step = 0; step < 22; ++step)
        EXPECT_EQ(positions[step], 18 + 8 * step) << step;
    EXPECT_EQ(positions[22], 182);

    jumpTo(4);
    game->boxX = 182;
    positions.clear();
    for (int step = 0; step < 23; ++step) {
        game->dialogueStep();
        positions.push_back(game->boxX);
    }
    for (int step = 0; step < 22; ++step)
        EXPECT_EQ(positions[step], 174 - 8 * step) << step;
    EXPECT_EQ(positions[22], 10);
}

TEST_F(DialogueTest, MissingWordsShowAnEmptyLineAndGoOn)
{
    game->startDialogue(0);
    steps(BoxSteps + 3);
    EXPECT_EQ(shown(), "");
    game->advanceDialogue();
    EXPECT_EQ(game->dialogueEntry, 1);
    EXPECT_FALSE(program.languageDocument.exists("_INITIAL_00_Maverick"));
}

TEST_F(DialogueTest, ActionLinesRunOnceWhenEmptyTwiceWhenNot)
{
    game->startDialogue(0);
    say("_INITIAL_150_BANG", "BANG");
    jumpTo(16);
    game->faceAlpha = 200;
    game->dialogueStep(); // the action completes the words
    EXPECT_EQ(game->dialogueEntry, 16);
    EXPECT_EQ(shown(), "BANG");
    game->dialogueStep(); // and then moves on
    EXPECT_EQ(game->dialogueEntry, 17);
    EXPECT_EQ(game->faceAlpha, 0);

    jumpTo(20); // main theme, empty words: straight on
    game->dialogueStep();
    EXPECT_EQ(game->dialogueEntry, 21);
}

TEST_F(DialogueTest, HelpLineAddsItsTextsAndClosesWithoutAClick)
{
    game->startDialogue(0);
    jumpTo(22);
    game->dialogueStep();
    ASSERT_EQ(game->messages.size(), 3u);
    auto message = game->messages.begin();
    EXPECT_EQ((message++)->getString(), "Use left shift or right control to run. Use escape to exit.");
    EXPECT_EQ((message++)->getString(), "Use your mouse, both buttons, and wasd or the arrow key to play.");
    EXPECT_EQ(message->getString(), "Welcome.");
    EXPECT_EQ(game->dialogueScript, 1);
    EXPECT_EQ(game->dialogueEntry, 0);
    EXPECT_EQ(program.cursorIndex, AnalyseCursor);
}

TEST_F(DialogueTest, ClosingBoxFoldsWhileSlidingLeft)
{
    game->startDialogue(0);
    jumpTo(22);
    game->dialogueStep();
    ASSERT_EQ(game->dialogueScript, 1);
    for (int step = 1; step <= BoxSteps; ++step) {
        ASSERT_TRUE(game->dialogueRunning()) << step;
        game->dialogueStep();
        EXPECT_EQ(game->boxHeight, 216 - 8 * step) << step;
        // The closing entry sits on the left: the box slides there while it folds.
        EXPECT_EQ(game->boxX, step <= 22 ? 182 - 8 * step : 10) << step;
    }
    EXPECT_FALSE(game->dialogueRunning());
    EXPECT_EQ(program.cursorIndex, AnalyseCursor);
}

class DialogueDrawTest : public DialogueTest {
protected:
    void SetUp() override
    {
        DialogueTest::SetUp();
        ASSERT_TRUE(program.sceneTexture.create(SceneWidth, SceneHeight));
    }

    sf::Image frame()
    {
        program.sceneTexture.clear(sf::Color::Black);
        game->drawDialogue();
        program.sceneTexture.display();
        return program.sceneTexture.getTexture().copyToImage();
    }
};

TEST_F(DialogueDrawTest, BoxOpensAboutItsMiddleLineWithAWhiteOutline)
{
    game->startDialogue(0);
    EXPECT_EQ(frame().getPixel(500, 962), sf::Color::Black); // nothing while the height is 0
    game->boxHeight = 16;
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

TEST_F(DialogueDrawTest, PortraitFadesIn8PerFrameAndTheClosingBoxHasNone)
{
    game->startDialogue(0);
    for (int i = 0; i < 40; ++i) {
        const int alpha = game->faceAlpha;
        game->drawDialogue();
        EXPECT_EQ(game->sprites[12].getColor(), sf::Color(255, 255, 255, static_cast<sf::Uint8>(alpha)));
    }
    EXPECT_EQ(game->faceAlpha, 255);
    game->dialogueScript = 1;
    game->dialogueEntry = 0;
    game->faceAlpha = 0;
    frame();
    EXPECT_EQ(game->faceAlpha, 0);
}

} // namespace
} // namespace testing
} // namespace vrk
