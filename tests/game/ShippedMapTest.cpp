// The in-game module on the game's own configuration and resources, when they have been built.
#include "IngameFixture.hpp"

#include "game/monsters/Monster.hpp"

#include <fstream>

namespace vrk {
namespace testing {
namespace {

class ShippedMap : public IngameTest {
protected:
    void SetUp() override
    {
        IngameTest::SetUp();
        if (!std::ifstream("lev/config.tvr"))
            GTEST_SKIP() << "no generated content in " << VELMORA_RUN_DIR;
        game->resourceDirectory.clear();
        ASSERT_TRUE(program->loadConfiguration());
        program->chooseLanguage();
        ASSERT_TRUE(game->start());
        hunters = game->maps[0].monsters.size();
    }
    // Runs the opening conversation to its end, a click every 40 steps.
    void talk()
    {
        for (int steps = 0; (game->tasks.size() > 0 || game->dialogueRunning()) && steps < 5000; ++steps) {
            step();
            if (game->dialogueRunning() && steps % 40 == 0)
                click(sf::Mouse::Left, 960, 540);
        }
        ASSERT_FALSE(game->dialogueRunning());
    }
    std::size_t hunters = 0;
};

TEST_F(ShippedMap, StartsOnFreeGroundWithHuntersAndTalksFirst)
{
    const MapRecord& map = game->maps[0];
    EXPECT_GE(map.width, 16);
    EXPECT_GE(map.height, 9);
    EXPECT_GT(hunters, 0u);
    EXPECT_FALSE(map.blockedAt(game->playerPosition));
    talk();
    EXPECT_EQ(game->messages.back().getString().toAnsiString(), "Welcome.");
    game->draw();
    // The player can move from the start, in most directions.
    const sf::Vector2f start = game->playerPosition;
    int moves = 0;
    for (sf::Keyboard::Key key : {sf::Keyboard::W, sf::Keyboard::A, sf::Keyboard::S, sf::Keyboard::D}) {
        game->playerPosition = start;
        hold(key);
        step();
        hold(key, false);
        moves += game->playerPosition != start;
    }
    EXPECT_GE(moves, 2);
}

TEST_F(ShippedMap, IsLostAndWonAndRestartedWithSpace)
{
    talk();
    game->life = 0;
    game->draw();
    EXPECT_EQ(game->messages.back().getString().toAnsiString(), "Game over - Press space to restart");
    press(sf::Keyboard::Space);
    EXPECT_EQ(game->life, 340);
    EXPECT_EQ(game->maps[0].monsters.size(), hunters);

    game->tasks.clear();
    for (const auto& monster : game->maps[0].monsters)
        monster->damage(1000);
    step();
    EXPECT_TRUE(game->victory);
    EXPECT_EQ(game->messages.back().getString().toAnsiString(), "Victory. Press space to restart.");
    press(sf::Keyboard::Space);
    EXPECT_FALSE(game->victory);
    EXPECT_EQ(game->maps[0].monsters.size(), hunters);
    for (const auto& monster : game->maps[0].monsters)
        EXPECT_GT(monster->life, 0);
}

} // namespace
} // namespace testing
} // namespace vrk
