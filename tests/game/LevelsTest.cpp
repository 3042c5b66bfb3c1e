// Maps played one after the other: where each starts, what a victory and a death lead to, the
// furthest level kept in the user data, and a later map's own texts.
#include "IngameFixture.hpp"

#include "game/monsters/Monster.hpp"
#include "shell/UserDataText.hpp"
#include "tavric/text/Documents.hpp"

namespace vrk {
namespace testing {
namespace {

TestMap room(int width, int height, sf::Vector2i start)
{
    TestMap map = roomWithWalledUpHunters(width, height);
    map.start = start;
    return map;
}

class Levels : public IngameTest {
protected:
    void SetUp() override
    {
        IngameTest::SetUp();
        program->languageDocument().child("Level2").setString("Level 2: below");
        second = room(24, 14, {5, 6});
        second.write(program->configDocument().child("Maps").child("M1"));
        ASSERT_TRUE(startWith(room(20, 12, {3, 4})));
    }
    std::string lastLine() const
    {
        const auto& lines = game->log().lines();
        return lines.empty() ? std::string() : lines.back().getString().toAnsiString();
    }
    void clearLevel()
    {
        for (const auto& monster : game->world().map().monsters)
            monster->damage(monster->life());
        step();
        ASSERT_TRUE(game->victory());
    }
    void toSecondLevel()
    {
        clearLevel();
        press(sf::Keyboard::Space);
        ASSERT_EQ(game->world().currentSlot(), 1);
    }
    TestMap second{1, 1};
};

TEST_F(Levels, VictoryOnTheFirstMapLeadsToTheSecondAtItsStart)
{
    EXPECT_EQ(game->player().position(), centre(3, 4));
    game->player().hurt(100);
    clearLevel();
    EXPECT_EQ(lastLine(), LevelClearedText.fallback);
    press(sf::Keyboard::Space);
    EXPECT_EQ(game->world().currentSlot(), 1);
    EXPECT_EQ(game->player().position(), centre(5, 6));
    EXPECT_EQ(game->player().life(), StartLife);
    EXPECT_EQ(game->player().stamina(), MaxStamina);
    EXPECT_EQ(game->world().map().monsters.size(), 2u);
    EXPECT_TRUE(game->world().slot(0).monsters.empty()) << "the first map's hunters are gone";
    EXPECT_TRUE(game->tasks().empty()) << "no opening conversation on the second level";
    EXPECT_EQ(lastLine(), "Level 2: below");
    EXPECT_EQ(game->furthestLevel(), 2);
    // Kept in the user data as it is written and read back.
    std::string bytes;
    ASSERT_TRUE(userDataBytes(program->userDocument(), "", bytes));
    zul::Tavric reread(&ProgramProbe::dictionary(*program));
    ASSERT_TRUE(zul::parse(reread, userDataText(bytes)));
    EXPECT_EQ(reread.child("FurthestLevel").getInt(), 2);
}

TEST_F(Levels, ADeathOnTheSecondMapReloadsThatMapOnly)
{
    toSecondLevel();
    MapRecord& map = game->world().map();
    map.setValue(WallLayer, 10, 8, WallCell);
    map.monsters.front()->damage(map.monsters.front()->life());
    game->player().placeAt(centre(12, 9));
    setLife(0);
    step();
    press(sf::Keyboard::Space);
    EXPECT_EQ(game->world().currentSlot(), 1);
    EXPECT_EQ(game->player().position(), centre(5, 6));
    EXPECT_EQ(game->player().life(), StartLife);
    EXPECT_EQ(game->world().map().value(WallLayer, 10, 8), 0) << "the map is reloaded";
    for (const auto& monster : game->world().map().monsters)
        EXPECT_GT(monster->life(), 0);
    EXPECT_TRUE(game->tasks().empty()) << "the conversation replays only on the first map";
}

TEST_F(Levels, VictoryOnTheLastMapEndsTheGameAndSpaceReturnsToTheFirst)
{
    toSecondLevel();
    clearLevel();
    EXPECT_EQ(lastLine(), GameWonText.fallback);
    press(sf::Keyboard::Space);
    EXPECT_EQ(game->world().currentSlot(), 0);
    EXPECT_EQ(game->player().position(), centre(3, 4));
    EXPECT_FALSE(game->tasks().empty()) << "the opening conversation is scheduled again";
    EXPECT_EQ(game->furthestLevel(), 2) << "going back to the first level keeps the furthest";
}

TEST_F(Levels, TheSavedLevelIsOfferedAndCTakesIt)
{
    EXPECT_FALSE(game->continueOffer()) << "nothing saved yet";
    press(sf::Keyboard::C);
    EXPECT_EQ(game->world().currentSlot(), 0);

    program->userDocument().child("FurthestLevel").setInt(2);
    ASSERT_TRUE(startWith(room(20, 12, {3, 4}), true));
    EXPECT_TRUE(game->continueOffer());
    EXPECT_EQ(game->continueLine(), "Press C to continue from level 2");
    press(sf::Keyboard::C);
    EXPECT_EQ(game->world().currentSlot(), 1);
    EXPECT_EQ(game->player().position(), centre(5, 6));
    EXPECT_FALSE(game->continueOffer());
}

TEST_F(Levels, ASavedLevelBeyondTheMapsOrNoWholeNumberIsNotOffered)
{
    program->userDocument().child("FurthestLevel").setInt(3);
    ASSERT_TRUE(startWith(room(20, 12, {3, 4})));
    EXPECT_FALSE(game->continueOffer());

    // Reaching a level writes a good number back in place of one that is none.
    program->userDocument().removeChild("FurthestLevel");
    program->userDocument().child("FurthestLevel").setString("two");
    ASSERT_TRUE(startWith(room(20, 12, {3, 4})));
    EXPECT_FALSE(game->continueOffer());
    toSecondLevel();
    EXPECT_EQ(game->furthestLevel(), 2);
}

// A third map is one more level from the document alone: offered when saved, named and worded by
// its own keys, and only its victory ends the game.
TEST_F(Levels, AThirdMapIsAnotherLevelWithItsOwnTexts)
{
    room(22, 13, {4, 5}).write(program->configDocument().child("Maps").child("M2"));
    program->languageDocument().child("Level3").setString("Level 3: the roof");
    program->languageDocument().child("Books").setString("books below");
    program->languageDocument().child("Books2").setString("books of the roof");
    program->userDocument().child("FurthestLevel").setInt(3);
    ASSERT_TRUE(startWith(room(20, 12, {3, 4}), true));
    ASSERT_EQ(game->world().mapCount(), 3);
    EXPECT_EQ(game->continueLine(), "Press C to continue from level 3");
    press(sf::Keyboard::C);
    ASSERT_EQ(game->world().currentSlot(), 2);
    EXPECT_EQ(game->player().position(), centre(4, 5));
    EXPECT_EQ(lastLine(), "Level 3: the roof");
    game->addText("Books");
    EXPECT_EQ(lastLine(), "books of the roof");
    clearLevel();
    EXPECT_EQ(lastLine(), GameWonText.fallback);

    // The second of three is no longer the last.
    press(sf::Keyboard::Space);
    toSecondLevel();
    game->addText("Books");
    EXPECT_EQ(lastLine(), "books below") << "no Books1: the plain key";
    clearLevel();
    EXPECT_EQ(lastLine(), LevelClearedText.fallback);
    press(sf::Keyboard::Space);
    EXPECT_EQ(game->world().currentSlot(), 2);
    EXPECT_EQ(game->furthestLevel(), 3);
}

TEST_F(Levels, TheStartFieldIsUsedOnFreeFloorAndRefusedElsewhereWithALine)
{
    struct Case {
        std::optional<sf::Vector2i> start;
        sf::Vector2f expected;
        const char* line; // on standard error, or nullptr for none
    };
    const Case cases[] = {
        {sf::Vector2i(7, 5), centre(7, 5), nullptr},
        {std::nullopt, PlayerStart, nullptr},
        {sf::Vector2i(20, 5), PlayerStart, "Map M0: the start (20, 5) is off the map"},
        {sf::Vector2i(-1, 5), PlayerStart, "Map M0: the start (-1, 5) is off the map"},
        {sf::Vector2i(0, 5), PlayerStart, "Map M0: the start (0, 5) is not on free floor"},
    };
    for (const Case& c : cases) {
        TestMap map = room(20, 12, {0, 0});
        map.start = c.start;
        if (!c.start)
            program->configDocument().child("Maps").child("M0").removeChild("Start");
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(startWith(map));
        const std::string out = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(game->player().position(), c.expected);
        if (c.line)
            EXPECT_NE(out.find(c.line), std::string::npos) << out;
        else
            EXPECT_EQ(out, "");
    }
}

// The offer stands on a line of its own above the conversation's box, never in the log beneath
// it, through the conversation and a while after.
TEST_F(Levels, TheOfferShowsAboveTheConversationsBoxThenGoes)
{
    program->userDocument().child("FurthestLevel").setInt(2);
    ASSERT_TRUE(startWith(room(20, 12, {3, 4}), true));
    const std::string offer = "Press C to continue from level 2";
    for (int i = 0;
         i < 400 && (!game->dialogue().running() || game->dialogue().boxHeight() < game->dialogue().boxMaxHeight());
         ++i)
        step();
    ASSERT_TRUE(game->dialogue().running());
    EXPECT_EQ(game->hudFrame().offer, offer);
    for (const sf::Text& line : game->log().lines())
        EXPECT_EQ(line.getString().toAnsiString().find("Press C"), std::string::npos);

    // White words between the middle of the scene and the top of the box.
    game->draw();
    program->scene().display();
    const sf::Image picture = program->scene().getTexture().copyToImage();
    const int boxTop = game->dialogue().boxY();
    int white = 0;
    for (int y = SceneHeight / 2; y < boxTop; ++y)
        for (int x = SceneWidth / 4; x < 3 * SceneWidth / 4; ++x) {
            const sf::Color c = picture.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
            white += c.r > 220 && c.g > 220 && c.b > 220;
        }
    EXPECT_GT(white, 500);

    // The help lines the end of the conversation adds stay clear of the offer too.
    press(sf::Keyboard::Tab);
    game->draw();
    ASSERT_EQ(game->log().size(), 3u);
    for (const sf::Text& line : game->log().lines())
        EXPECT_LE(line.getGlobalBounds().top + line.getGlobalBounds().height, Hud::offerTop(SceneHeight));
    while (game->dialogue().running())
        step();
    step(OfferSteps - OpeningDialogueDelay - 1);
    EXPECT_EQ(game->hudFrame().offer, offer);
    step();
    EXPECT_EQ(game->hudFrame().offer, "");
    EXPECT_TRUE(game->continueOffer()); // C still takes it
}

} // namespace
} // namespace testing
} // namespace vrk
