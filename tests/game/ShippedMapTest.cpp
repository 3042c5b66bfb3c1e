// The in-game module on the game's own configuration and resources, when they have been built.
#include "IngameFixture.hpp"

#include "game/KeyTexts.hpp"
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
    EXPECT_EQ(game->log().lines().back().getString().toAnsiString(), "Pause: P. Leave the level: Escape.");
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
    program->setOption("Language", "Fr");
    program->chooseLanguage();
    const std::set<std::string> english = {GameOverText.fallback, VictoryText.fallback,  LevelClearedText.fallback,
                                           GameWonText.fallback,  HelpTexts[0].fallback, HelpTexts[1].fallback,
                                           HelpTexts[2].fallback, ResumeOverText.fallback};
    std::vector<std::string> seen;
    const auto collect = [&] {
        for (const sf::Text& line : game->log().lines()) {
            const auto utf8 = line.getString().toUtf8();
            seen.emplace_back(utf8.begin(), utf8.end());
        }
    };
    talk();
    collect();
    EXPECT_EQ(seen.back(), withBoundKeys(program->languageDocument().child("Help3").getString(), program->settings()));
    setLife(0);
    step();
    collect();
    EXPECT_EQ(seen.back(), program->languageDocument().child("GameOver").getString());
    press(sf::Keyboard::Space);
    // Each level cleared in turn: the next one names itself, the last ends the game.
    for (int slot = 0; slot < game->world().mapCount(); ++slot) {
        if (slot > 0) {
            press(sf::Keyboard::Space);
            collect();
            EXPECT_EQ(seen.back(), program->languageDocument().child(levelNameKey(slot)).getString());
        }
        for (const auto& monster : game->world().map().monsters)
            monster->damage(monster->life());
        step();
        collect();
        const bool last = slot + 1 == game->world().mapCount();
        EXPECT_EQ(seen.back(), program->languageDocument().child(last ? "GameWon" : "LevelCleared").getString());
    }
    for (const std::string& line : seen)
        EXPECT_EQ(english.count(line), 0u) << line;
}

TEST_F(ShippedMap, IsLostAndWonLevelByLevelAndRestartedWithSpace)
{
    ASSERT_EQ(game->world().mapCount(), 3);
    talk();
    setLife(0);
    step();
    EXPECT_EQ(game->log().lines().back().getString().toAnsiString(), "Game over - Press space to restart");
    press(sf::Keyboard::Space);
    EXPECT_EQ(game->player().life(), StartLife);
    EXPECT_EQ(game->world().slot(0).monsters.size(), hunters);

    game->tasks().clear();
    for (const auto& monster : game->world().slot(0).monsters)
        monster->damage(1000);
    step();
    EXPECT_TRUE(game->victory());
    EXPECT_EQ(game->log().lines().back().getString().toAnsiString(), LevelClearedText.fallback);
    press(sf::Keyboard::Space);
    EXPECT_FALSE(game->victory());
    ASSERT_EQ(game->world().currentSlot(), 1);
    // Each later level starts on its own floor with more hunters; the last one won leads back to
    // the first.
    std::size_t previous = hunters;
    for (int slot = 1; slot < game->world().mapCount(); ++slot) {
        ASSERT_EQ(game->world().currentSlot(), slot);
        const MapRecord& map = game->world().map();
        EXPECT_FALSE(map.blockedAt(game->player().position())) << "the start of level " << slot + 1;
        EXPECT_GT(map.monsters.size(), previous) << "level " << slot + 1 << " is not the harder";
        previous = map.monsters.size();
        for (const auto& monster : game->world().map().monsters)
            monster->damage(1000);
        step();
        const bool last = slot + 1 == game->world().mapCount();
        EXPECT_EQ(game->log().lines().back().getString().toAnsiString(),
                  last ? GameWonText.fallback : LevelClearedText.fallback);
        press(sf::Keyboard::Space);
    }
    EXPECT_EQ(game->world().currentSlot(), 0);
    EXPECT_EQ(game->world().slot(0).monsters.size(), hunters);
    for (const auto& monster : game->world().slot(0).monsters)
        EXPECT_GT(monster->life(), 0);
}

TEST_F(ShippedMap, EachRemotePanelIsSeenThroughGlassFromBesideTheDoorItOpens)
{
    talk();
    for (int slot = 0; slot < game->world().mapCount(); ++slot) {
        SCOPED_TRACE("map " + std::to_string(slot));
        game->world().restart(slot);
        const MapRecord& map = game->world().map();
        int remoteColumn = -1, remoteRow = -1;
        for (int row = 0; row < map.height; ++row)
            for (int column = 0; column < map.width; ++column)
                if (map.value(EventLayer, column, row) == 13) {
                    remoteColumn = column;
                    remoteRow = row;
                }
        ASSERT_GE(remoteColumn, 0) << "no remote panel";
        // Its working spot, and the door beside that spot.
        const int spotColumn = remoteColumn + 2, spotRow = remoteRow - 4;
        int doorColumn = 0, doorRow = 0;
        ASSERT_EQ(Events::findDoor(map, spotColumn, spotRow, doorColumn, doorRow), ClosedDoor);
        // Nobody walks up to the panel itself: no cell round it can be reached from the start,
        // through any door.
        const std::vector<int> steps = walkingSteps(map, {cellOf(map.start.x), cellOf(map.start.y)}, true);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = remoteColumn + dx, y = remoteRow + dy;
                EXPECT_FALSE(map.contains(x, y) && steps[static_cast<std::size_t>(y) * map.width + x] >= 0)
                    << "the panel can be walked up to at (" << x << ", " << y << ")";
            }
        // A player trying the door stands on the floor just left of the spot, facing the panel.
        const sf::Vector2f beside(spotColumn * TileSize - 30.f, spotRow * TileSize + TileSize / 2.f);
        ASSERT_FALSE(map.blockedAt(beside));
        game->player().placeAt(beside);
        game->followCamera();
        pointAt(centre(remoteColumn, remoteRow));
        step();
        game->castLight();
        EXPECT_TRUE(map.isExplored(remoteColumn, remoteRow)) << "the light does not reach the panel";
        // Walking straight toward it ends at the glass, short of the panel.
        hold(sf::Keyboard::S);
        step(20);
        hold(sf::Keyboard::S, false);
        EXPECT_LT(cellOf(game->player().position().y), remoteRow - 1);
        game->player().placeAt(beside);
        step();
        program->setCursor(ActivateCursor);
        game->log().clear();
        const sf::Vector2f panel = screen(centre(remoteColumn, remoteRow));
        click(sf::Mouse::Left, static_cast<int>(panel.x), static_cast<int>(panel.y));
        EXPECT_TRUE(game->log().lines().empty()) << "activating from beside the door is refused";
        step(DoorSteps + 1);
        EXPECT_EQ(map.value(WallLayer, doorColumn, doorRow), OpenDoor);
    }
}

TEST_F(ShippedMap, EveryMedicalCabinetCanBeUsedFromFloorThePlayerReaches)
{
    for (int slot = 0; slot < game->world().mapCount(); ++slot) {
        SCOPED_TRACE("map " + std::to_string(slot));
        game->world().restart(slot);
        const MapRecord& map = game->world().map();
        const std::vector<int> steps = walkingSteps(map, {cellOf(map.start.x), cellOf(map.start.y)}, true);
        int cabinets = 0;
        for (int row = 0; row < map.height; ++row)
            for (int column = 0; column < map.width; ++column) {
                if (map.value(ObjectLayer, column, row) != CabinetObject)
                    continue;
                ++cabinets;
                bool usable = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int x = column + dx, y = row + dy;
                        const float reach = static_cast<float>((dx * dx + dy * dy) * TileSize * TileSize);
                        usable =
                            usable || (map.contains(x, y) && steps[static_cast<std::size_t>(y) * map.width + x] >= 0 &&
                                       reach < CabinetReachSquared);
                    }
                EXPECT_TRUE(usable) << "the cabinet at (" << column << ", " << row << ") is out of reach";
            }
        EXPECT_GT(cabinets, 0);
    }
}

} // namespace
} // namespace testing
} // namespace vrk
