// The in-game module on the game's own configuration and resources, when they have been built.
#include "IngameFixture.hpp"

#include "game/monsters/Monster.hpp"

#include <set>

namespace vrk {
namespace testing {
namespace {

class ShippedMap : public ShippedGameTest {
protected:
    void SetUp() override
    {
        ShippedGameTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        hunters = game->world().slot(0).monsters.size();
    }
    // Runs the opening conversation to its end, a click every 40 steps.
    void talk()
    {
        for (int steps = 0; (game->tasks().size() > 0 || game->dialogue().running()) && steps < 5000; ++steps) {
            step();
            if (game->dialogue().running() && steps % 40 == 0)
                click(sf::Mouse::Left, 960, 540);
        }
        ASSERT_FALSE(game->dialogue().running());
    }
    std::size_t hunters = 0;
};

TEST_F(ShippedMap, StartsOnFreeGroundWithHuntersAndTalksFirst)
{
    const MapRecord& map = game->world().slot(0);
    EXPECT_GE(map.width, 16);
    EXPECT_GE(map.height, 9);
    EXPECT_GT(hunters, 0u);
    EXPECT_FALSE(map.blockedAt(game->player().position()));
    talk();
    EXPECT_EQ(game->log().lines().back().getString().toAnsiString(), "Welcome.");
    game->draw();
    // The player can move from the start, in most directions.
    const sf::Vector2f start = game->player().position();
    int moves = 0;
    for (sf::Keyboard::Key key : {sf::Keyboard::W, sf::Keyboard::A, sf::Keyboard::S, sf::Keyboard::D}) {
        game->player().placeAt(start);
        hold(key);
        step();
        hold(key, false);
        moves += game->player().position() != start;
    }
    EXPECT_GE(moves, 2);
}

TEST_F(ShippedMap, FrenchPlayShowsNoEnglishLine)
{
    program->options["Language"] = "Fr";
    program->chooseLanguage();
    const std::set<std::string> english = {GameOverText.fallback, VictoryText.fallback, HelpTexts[0].fallback,
                                           HelpTexts[1].fallback, HelpTexts[2].fallback};
    std::vector<std::string> seen;
    const auto collect = [&] {
        for (const sf::Text& line : game->log().lines()) {
            const auto utf8 = line.getString().toUtf8();
            seen.emplace_back(utf8.begin(), utf8.end());
        }
    };
    talk();
    collect();
    EXPECT_EQ(seen.back(), program->languageDocument.child("Help3").getString());
    setLife(0);
    game->draw();
    collect();
    EXPECT_EQ(seen.back(), program->languageDocument.child("GameOver").getString());
    press(sf::Keyboard::Space);
    for (const auto& monster : game->world().slot(0).monsters)
        monster->damage(monster->life);
    step();
    collect();
    EXPECT_EQ(seen.back(), program->languageDocument.child("VictoryLine").getString());
    for (const std::string& line : seen)
        EXPECT_EQ(english.count(line), 0u) << line;
}

TEST_F(ShippedMap, IsLostAndWonAndRestartedWithSpace)
{
    talk();
    setLife(0);
    game->draw();
    EXPECT_EQ(game->log().lines().back().getString().toAnsiString(), "Game over - Press space to restart");
    press(sf::Keyboard::Space);
    EXPECT_EQ(game->player().life(), StartLife);
    EXPECT_EQ(game->world().slot(0).monsters.size(), hunters);

    game->tasks().clear();
    for (const auto& monster : game->world().slot(0).monsters)
        monster->damage(1000);
    step();
    EXPECT_TRUE(game->victory());
    EXPECT_EQ(game->log().lines().back().getString().toAnsiString(), "Victory. Press space to restart.");
    press(sf::Keyboard::Space);
    EXPECT_FALSE(game->victory());
    EXPECT_EQ(game->world().slot(0).monsters.size(), hunters);
    for (const auto& monster : game->world().slot(0).monsters)
        EXPECT_GT(monster->life, 0);
}

} // namespace
} // namespace testing
} // namespace vrk
