#include "game/Text.hpp"
#include "monsters/TestWorld.hpp"

#include <algorithm>

namespace vrk {
namespace testing {
namespace {

enum Mode { Step = 0, Attack = 1, Analyse = 2, Activate = 3, Talk = 4 };

// A door panel at (5, 5) with a closed door above and to the right of it, at (6, 4).
class EventsTest : public TestWorld {
protected:
    static constexpr int PanelColumn = 5;
    static constexpr int PanelRow = 5;
    static constexpr int DoorColumn = 6;
    static constexpr int DoorRow = 4;
    static constexpr int ClosedTile = 41;

    void SetUp() override
    {
        TestWorld::SetUp();
        setLayer(EventLayer, PanelColumn, PanelRow, 2);
        setWall(DoorColumn, DoorRow, ClosedDoor);
        setLayer(GroundLayer, DoorColumn, DoorRow, ClosedTile);
        for (const char* key : {"Victory", "Books", "DoorPanel", "TooFar"})
            program.languageDocument.child(key).setString(std::string("text of ") + key);
        standNearPanel();
    }

    // 115 from the panel's centre: the neighbouring cell's centre would be exactly 120, too far.
    void standNearPanel() { game->playerPosition = sf::Vector2f(545.0f, 660.0f); }

    std::vector<std::string> messages() const
    {
        std::vector<std::string> texts;
        for (const sf::Text& text : game->messages)
            texts.push_back(text.getString().toAnsiString());
        return texts;
    }

    int doorTile() { return layerValue(GroundLayer, DoorColumn, DoorRow); }
    int doorWall() { return layerValue(WallLayer, DoorColumn, DoorRow); }

    void click(int column, int row, int mode)
    {
        EventHandler handler = game->eventHandlerAt(column, row);
        ASSERT_NE(handler, nullptr);
        handler(*game, column, row, mode);
    }

    // Steps the tasks `steps` times, recording the door after each.
    std::vector<std::pair<int, int>> runDoor(int steps)
    {
        std::vector<std::pair<int, int>> states;
        for (int i = 0; i < steps; ++i) {
            game->runTasks();
            states.emplace_back(doorTile(), doorWall());
        }
        return states;
    }

    std::size_t sparksAtDoor() const
    {
        return static_cast<std::size_t>(std::count_if(game->sparks.begin(), game->sparks.end(), [](const Spark& s) {
            return s.column == DoorColumn && s.row == DoorRow;
        }));
    }
};

TEST_F(EventsTest, TextsByMode)
{
    for (int mode = Step; mode <= Talk; ++mode) {
        Ingame::victoryTextEvent(*game, 0, 0, mode);
        Ingame::booksEvent(*game, 0, 0, mode);
    }
    EXPECT_EQ(messages(), (std::vector<std::string>{"text of Victory", "text of Books"}));
    game->messages.clear();
    click(PanelColumn, PanelRow, Analyse);
    click(PanelColumn, PanelRow, Step);
    click(PanelColumn, PanelRow, Talk);
    EXPECT_EQ(messages(), (std::vector<std::string>{"text of DoorPanel"}));
    EXPECT_TRUE(game->tasks.empty());
    EXPECT_TRUE(game->sparks.empty());
}

TEST_F(EventsTest, MissingTextAddsAnEmptyLineWithoutCreatingTheKey)
{
    ASSERT_TRUE(program.languageDocument.removeChild("Books"));
    Ingame::booksEvent(*game, 0, 0, Analyse);
    EXPECT_EQ(messages(), (std::vector<std::string>{""}));
    EXPECT_FALSE(program.languageDocument.exists("Books"));
}

TEST_F(EventsTest, TextsAreDecodedAsUtf8)
{
    program.languageDocument.child("TooFar").setString("Trop loin \xc3\xa9");
    game->playerPosition = sf::Vector2f(420.0f, 660.0f);
    click(PanelColumn, PanelRow, Activate);
    ASSERT_EQ(game->messages.size(), 1u);
    EXPECT_EQ(game->messages.back().getString(), utf8ToSfString("Trop loin \xc3\xa9"));
    EXPECT_EQ(game->messages.back().getString().getSize(), 11u);
}

TEST_F(EventsTest, PanelOutOfReachSaysTooFar)
{
    for (sf::Vector2f far :
         {sf::Vector2f(420.0f, 660.0f), sf::Vector2f(540.0f, 660.0f), sf::Vector2f(660.0f, 780.0f)}) {
        game->messages.clear();
        game->playerPosition = far;
        click(PanelColumn, PanelRow, Activate);
        click(PanelColumn, PanelRow, Attack);
        EXPECT_EQ(messages(), (std::vector<std::string>{"text of TooFar", "text of TooFar"}));
    }
    EXPECT_TRUE(game->tasks.empty());
    EXPECT_TRUE(game->sparks.empty());
    // Truncated to whole units: 540.9 counts as 540.
    game->playerPosition = sf::Vector2f(540.9f, 660.0f);
    click(PanelColumn, PanelRow, Activate);
    EXPECT_TRUE(game->tasks.empty());
}

TEST_F(EventsTest, ActivatingOpensTheDoorOver20Steps)
{
    click(PanelColumn, PanelRow, Activate);
    ASSERT_EQ(game->tasks.size(), 1u);
    EXPECT_EQ(game->tasks.front().parameters, (std::vector<int>{Columns, DoorColumn, DoorRow, 20}));
    ASSERT_EQ(game->sparks.size(), 1u);
    EXPECT_EQ(game->sparks.front().timer, 20);
    EXPECT_TRUE(messages().empty());

    const auto states = runDoor(20);
    for (int step = 1; step <= 20; ++step) {
        const int tile = ClosedTile + (step >= 6) + (step >= 16) + (step >= 20);
        EXPECT_EQ(states[step - 1].first, tile) << "step " << step;
        EXPECT_EQ(states[step - 1].second, step < 20 ? ClosedDoor : OpenDoor) << "step " << step;
    }
    EXPECT_TRUE(game->tasks.empty());
    EXPECT_FALSE(map().blocked(DoorColumn, DoorRow));
}

TEST_F(EventsTest, TheSparkBlocksReuseThenActivatingClosesTheDoor)
{
    click(PanelColumn, PanelRow, Activate);
    click(PanelColumn, PanelRow, Activate); // spark still listed
    EXPECT_EQ(game->tasks.size(), 1u);
    runDoor(20);
    click(PanelColumn, PanelRow, Activate); // open now, but the spark still shows
    EXPECT_TRUE(game->tasks.empty());
    EXPECT_EQ(doorWall(), OpenDoor);

    game->sparks.clear(); // the 20 frames have been drawn
    click(PanelColumn, PanelRow, Activate);
    ASSERT_EQ(game->tasks.size(), 1u);
    const auto states = runDoor(20);
    for (int step = 1; step <= 20; ++step) {
        const int tile = ClosedTile + 3 - (step >= 6) - (step >= 16) - (step >= 20);
        EXPECT_EQ(states[step - 1].first, tile) << "step " << step;
        // Passable while it closes.
        EXPECT_EQ(states[step - 1].second, step < 20 ? OpenDoor : ClosedDoor) << "step " << step;
    }
    EXPECT_TRUE(map().blocked(DoorColumn, DoorRow));
}

TEST_F(EventsTest, AttackingSparksWithoutOpeningAndSparksStack)
{
    click(PanelColumn, PanelRow, Attack);
    click(PanelColumn, PanelRow, Attack);
    ASSERT_EQ(sparksAtDoor(), 2u);
    for (const Spark& spark : game->sparks)
        EXPECT_EQ(spark.timer, 200);
    EXPECT_TRUE(game->tasks.empty());
    EXPECT_EQ(doorWall(), ClosedDoor);
    // An attack spark also keeps the panel from being activated.
    click(PanelColumn, PanelRow, Activate);
    EXPECT_TRUE(game->tasks.empty());
}

TEST_F(EventsTest, APanelWithNoDoorAroundDoesNothing)
{
    setLayer(EventLayer, 10, 8, 2);
    game->playerPosition = sf::Vector2f(1260.0f, 1020.0f);
    click(10, 8, Activate);
    click(10, 8, Attack);
    EXPECT_TRUE(game->tasks.empty());
    EXPECT_TRUE(game->sparks.empty());
    EXPECT_TRUE(messages().empty());
}

TEST_F(EventsTest, FindDoorSearchesRowByRowAndStaysOnTheMap)
{
    setWall(4, 4, OpenDoor);
    int column = -1;
    int row = -1;
    EXPECT_EQ(game->findDoor(PanelColumn, PanelRow, column, row), OpenDoor);
    EXPECT_EQ(column, 4);
    EXPECT_EQ(row, 4);
    setWall(4, 4, 0);
    EXPECT_EQ(game->findDoor(PanelColumn, PanelRow, column, row), ClosedDoor);
    EXPECT_EQ(column, DoorColumn);
    EXPECT_EQ(row, DoorRow);
    // The door cell itself counts.
    EXPECT_EQ(game->findDoor(DoorColumn, DoorRow, column, row), ClosedDoor);
    EXPECT_EQ(game->findDoor(0, 0, column, row), 0);
    EXPECT_EQ(game->findDoor(Columns - 1, Rows - 1, column, row), 0);
    EXPECT_EQ(game->findDoor(-5, 300, column, row), 0);
}

TEST_F(EventsTest, RemotePanelWorksTheCellTwoRightAndFourUp)
{
    setLayer(EventLayer, 3, 9, 13);
    click(3, 9, Attack);
    click(3, 9, Analyse);
    EXPECT_TRUE(game->sparks.empty());
    EXPECT_TRUE(messages().empty());
    // The reach is measured to (5, 5), not to the remote panel.
    game->playerPosition = sf::Vector2f(420.0f, 1140.0f);
    click(3, 9, Activate);
    EXPECT_EQ(messages(), (std::vector<std::string>{"text of TooFar"}));
    standNearPanel();
    click(3, 9, Activate);
    ASSERT_EQ(game->tasks.size(), 1u);
    EXPECT_EQ(game->tasks.front().parameters, (std::vector<int>{Columns, DoorColumn, DoorRow, 20}));
    EXPECT_EQ(sparksAtDoor(), 1u);
}

TEST_F(EventsTest, ADoorTaskOutlivingItsMapLeavesTheNewMapAlone)
{
    click(PanelColumn, PanelRow, Activate);
    makeMap(10, 10, true); // a restart on another map
    const std::vector<int> ground = map().layers[GroundLayer];
    runDoor(20);
    EXPECT_TRUE(game->tasks.empty());
    EXPECT_EQ(map().layers[GroundLayer], ground);
    // A task with its parameters cut short ends at once.
    std::vector<int> parameters{Columns};
    EXPECT_TRUE(Ingame::openDoorTask(*game, parameters));
}

} // namespace
} // namespace testing
} // namespace vrk
