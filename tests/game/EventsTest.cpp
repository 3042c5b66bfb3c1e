#include "game/Text.hpp"
#include "monsters/TestWorld.hpp"

#include <SFML/Graphics/RenderTexture.hpp>

#include <algorithm>

namespace vrk {
namespace testing {
namespace {

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
        for (const char* key : {"Victory", "Books", "DoorPanel", "TooFar", "RemotePanel"})
            program.languageDocument().child(key).setString(std::string("text of ") + key);
        standNearPanel();
    }

    // 115 from the panel's centre: the neighbouring cell's centre would be exactly 120, too far.
    void standNearPanel() { game->player().placeAt(sf::Vector2f(545.0f, 660.0f)); }

    std::vector<std::string> messages() const
    {
        std::vector<std::string> texts;
        for (const sf::Text& text : game->log().lines())
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
            game->tasks().run(*game);
            states.emplace_back(doorTile(), doorWall());
        }
        return states;
    }

    std::size_t sparksAtDoor() const
    {
        return static_cast<std::size_t>(
            std::count_if(game->events().sparks().begin(), game->events().sparks().end(),
                          [](const Spark& s) { return s.column == DoorColumn && s.row == DoorRow; }));
    }
};

TEST_F(EventsTest, TextsByMode)
{
    for (int mode = StepMode; mode <= TalkCursor; ++mode) {
        Events::handler(0, VictoryTextEvent)(*game, 0, 0, mode);
        Events::handler(0, BooksEvent)(*game, 0, 0, mode);
    }
    EXPECT_EQ(messages(), (std::vector<std::string>{"text of Victory", "text of Books"}));
    game->log().clear();
    click(PanelColumn, PanelRow, AnalyseCursor);
    click(PanelColumn, PanelRow, StepMode);
    click(PanelColumn, PanelRow, TalkCursor);
    EXPECT_EQ(messages(), (std::vector<std::string>{"text of DoorPanel"}));
    EXPECT_TRUE(game->tasks().empty());
    EXPECT_TRUE(game->events().sparks().empty());
}

TEST_F(EventsTest, MissingTextAddsAnEmptyLineWithoutCreatingTheKey)
{
    ASSERT_TRUE(program.languageDocument().removeChild("Books"));
    Events::handler(0, BooksEvent)(*game, 0, 0, AnalyseCursor);
    EXPECT_EQ(messages(), (std::vector<std::string>{""}));
    EXPECT_FALSE(program.languageDocument().exists("Books"));
}

TEST_F(EventsTest, TextsAreDecodedAsUtf8)
{
    program.languageDocument().child("TooFar").setString("Trop loin \xc3\xa9");
    game->player().placeAt(sf::Vector2f(420.0f, 660.0f));
    click(PanelColumn, PanelRow, ActivateCursor);
    ASSERT_EQ(game->log().lines().size(), 1u);
    EXPECT_EQ(game->log().lines().back().getString(), utf8ToSfString("Trop loin \xc3\xa9"));
    EXPECT_EQ(game->log().lines().back().getString().getSize(), 11u);
}

TEST_F(EventsTest, PanelOutOfReachSaysTooFar)
{
    for (sf::Vector2f far :
         {sf::Vector2f(420.0f, 660.0f), sf::Vector2f(540.0f, 660.0f), sf::Vector2f(660.0f, 780.0f)}) {
        game->log().clear();
        game->player().placeAt(far);
        click(PanelColumn, PanelRow, ActivateCursor);
        click(PanelColumn, PanelRow, AttackCursor);
        EXPECT_EQ(messages(), (std::vector<std::string>{"text of TooFar", "text of TooFar"}));
    }
    EXPECT_TRUE(game->tasks().empty());
    EXPECT_TRUE(game->events().sparks().empty());
    // Truncated to whole units: 540.9 counts as 540.
    game->player().placeAt(sf::Vector2f(540.9f, 660.0f));
    click(PanelColumn, PanelRow, ActivateCursor);
    EXPECT_TRUE(game->tasks().empty());
}

TEST_F(EventsTest, ActivatingOpensTheDoorOver20Steps)
{
    click(PanelColumn, PanelRow, ActivateCursor);
    ASSERT_EQ(game->tasks().size(), 1u);
    EXPECT_EQ(game->tasks().pending().front().parameters, (std::vector<int>{Columns, DoorColumn, DoorRow, 20}));
    ASSERT_EQ(game->events().sparks().size(), 1u);
    EXPECT_EQ(game->events().sparks().front().timer, 20);
    EXPECT_TRUE(messages().empty());

    const auto states = runDoor(20);
    for (int step = 1; step <= 20; ++step) {
        const int tile = ClosedTile + (step >= 6) + (step >= 16) + (step >= 20);
        EXPECT_EQ(states[step - 1].first, tile) << "step " << step;
        EXPECT_EQ(states[step - 1].second, step < 20 ? ClosedDoor : OpenDoor) << "step " << step;
    }
    EXPECT_TRUE(game->tasks().empty());
    EXPECT_FALSE(map().blocked(DoorColumn, DoorRow));
}

TEST_F(EventsTest, AMovingDoorBlocksReuseThenActivatingClosesTheDoor)
{
    click(PanelColumn, PanelRow, ActivateCursor);
    click(PanelColumn, PanelRow, ActivateCursor); // the door still moving
    EXPECT_EQ(game->tasks().size(), 1u);
    runDoor(20);
    EXPECT_EQ(doorWall(), OpenDoor);
    // Its spark still shows, but the door has stopped: the panel closes it.
    ASSERT_EQ(sparksAtDoor(), 1u);
    click(PanelColumn, PanelRow, ActivateCursor);
    ASSERT_EQ(game->tasks().size(), 1u);
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
    click(PanelColumn, PanelRow, AttackCursor);
    click(PanelColumn, PanelRow, AttackCursor);
    ASSERT_EQ(sparksAtDoor(), 2u);
    for (const Spark& spark : game->events().sparks())
        EXPECT_EQ(spark.timer, 200);
    EXPECT_TRUE(game->tasks().empty());
    EXPECT_EQ(doorWall(), ClosedDoor);
    // Only a moving door keeps the panel from being activated, not a spark.
    click(PanelColumn, PanelRow, ActivateCursor);
    EXPECT_EQ(game->tasks().size(), 1u);
}

TEST_F(EventsTest, APanelWithNoDoorAroundDoesNothing)
{
    setLayer(EventLayer, 10, 8, 2);
    game->player().placeAt(sf::Vector2f(1260.0f, 1020.0f));
    click(10, 8, ActivateCursor);
    click(10, 8, AttackCursor);
    EXPECT_TRUE(game->tasks().empty());
    EXPECT_TRUE(game->events().sparks().empty());
    EXPECT_TRUE(messages().empty());
}

TEST_F(EventsTest, FindDoorSearchesRowByRowAndStaysOnTheMap)
{
    setWall(4, 4, OpenDoor);
    int column = -1;
    int row = -1;
    EXPECT_EQ(Events::findDoor(game->world().map(), PanelColumn, PanelRow, column, row), OpenDoor);
    EXPECT_EQ(column, 4);
    EXPECT_EQ(row, 4);
    setWall(4, 4, 0);
    EXPECT_EQ(Events::findDoor(game->world().map(), PanelColumn, PanelRow, column, row), ClosedDoor);
    EXPECT_EQ(column, DoorColumn);
    EXPECT_EQ(row, DoorRow);
    // The door cell itself counts.
    EXPECT_EQ(Events::findDoor(game->world().map(), DoorColumn, DoorRow, column, row), ClosedDoor);
    EXPECT_EQ(Events::findDoor(game->world().map(), 0, 0, column, row), 0);
    EXPECT_EQ(Events::findDoor(game->world().map(), Columns - 1, Rows - 1, column, row), 0);
    EXPECT_EQ(Events::findDoor(game->world().map(), -5, 300, column, row), 0);
}

TEST_F(EventsTest, RemotePanelWorksTheCellTwoRightAndFourUp)
{
    setLayer(EventLayer, 3, 9, 13);
    click(3, 9, AttackCursor);
    EXPECT_TRUE(messages().empty());
    click(3, 9, AnalyseCursor); // says where it works from
    EXPECT_EQ(messages(), (std::vector<std::string>{"text of RemotePanel"}));
    EXPECT_TRUE(game->events().sparks().empty());
    game->log().clear();
    // The reach is measured to (5, 5), not to the remote panel.
    game->player().placeAt(sf::Vector2f(420.0f, 1140.0f));
    click(3, 9, ActivateCursor);
    EXPECT_EQ(messages(), (std::vector<std::string>{"text of TooFar"}));
    standNearPanel();
    click(3, 9, ActivateCursor);
    ASSERT_EQ(game->tasks().size(), 1u);
    EXPECT_EQ(game->tasks().pending().front().parameters, (std::vector<int>{Columns, DoorColumn, DoorRow, 20}));
    EXPECT_EQ(sparksAtDoor(), 1u);
}

TEST_F(EventsTest, ADoorTaskOutlivingItsMapLeavesTheNewMapAlone)
{
    click(PanelColumn, PanelRow, ActivateCursor);
    makeMap(10, 10, true); // a restart on another map
    const std::vector<int> ground = map().layers[GroundLayer];
    runDoor(20);
    EXPECT_TRUE(game->tasks().empty());
    EXPECT_EQ(map().layers[GroundLayer], ground);
    // A task with its parameters cut short ends at once.
    std::vector<int> parameters{Columns};
    EXPECT_TRUE(Events::openDoorTask(*game, parameters));
}

} // namespace
} // namespace testing
} // namespace vrk
