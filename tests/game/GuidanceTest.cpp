// What guides the player: the map of what was seen, the line for whatever is analysed, and the
// frame around a usable thing within reach, driven step by step on one room.
#include "IngameFixture.hpp"

#include "monsters/MonsterProbe.hpp"

#include "game/GuideTexts.hpp"
#include "game/Objects.hpp"
#include "game/monsters/Hunter.hpp"

namespace vrk {
namespace testing {
namespace {

// 20 x 12 cells: a wall at column 12 splits the room; in it a door panel (12, 3) above a closed
// door (12, 4), a window (12, 6) and an open door (12, 8). The hatch lies beyond the window
// (16, 6); a medical cabinet and a crate stand in the left wall, a remote panel in the bottom
// one.
constexpr int WallColumn = 12;
const sf::Vector2i PanelCell(WallColumn, 3), ClosedDoorCell(WallColumn, 4), WindowCellAt(WallColumn, 6),
    OpenDoorCell(WallColumn, 8), HatchCell(16, 6), CabinetCell(0, 5), CrateCell(0, 2), RemoteCell(3, 11);

TestMap guideRoom()
{
    std::vector<std::string> rows(12, "#...........#......#");
    rows.front() = rows.back() = std::string(20, '#');
    rows[ClosedDoorCell.y][WallColumn] = 'D';
    rows[OpenDoorCell.y][WallColumn] = 'O';
    TestMap map(rows);
    map.set(WallLayer, WindowCellAt.x, WindowCellAt.y, WindowCell);
    map.set(EventLayer, PanelCell.x, PanelCell.y, DoorPanelEvent);
    map.set(ObjectLayer, PanelCell.x, PanelCell.y, PanelTile);
    map.set(EventLayer, HatchCell.x, HatchCell.y, VictoryTextEvent);
    map.set(ObjectLayer, HatchCell.x, HatchCell.y, HatchTile);
    map.set(ObjectLayer, CabinetCell.x, CabinetCell.y, CabinetTile);
    map.set(ObjectLayer, CrateCell.x, CrateCell.y, CrateTile);
    map.set(EventLayer, RemoteCell.x, RemoteCell.y, RemoteDoorPanelEvent);
    map.set(ObjectLayer, RemoteCell.x, RemoteCell.y, RemotePanelTile);
    return map;
}

class Guidance : public IngameTest {
protected:
    void SetUp() override
    {
        IngameTest::SetUp();
        ASSERT_TRUE(startWith(guideRoom()));
    }
    // The player on a cell (moved `lean` toward the pointer's: against a wall, as a player
    // reaching for a panel stands), the pointer on another, and one step to look.
    void standAndPoint(sf::Vector2i at, sf::Vector2i pointer, float lean = 0.f)
    {
        const auto toward = [lean](int from, int to) { return from == to ? 0.f : from < to ? lean : -lean; };
        game->player().placeAt(centre(at.x, at.y) + sf::Vector2f(toward(at.x, pointer.x), toward(at.y, pointer.y)));
        game->followCamera();
        pointAt(centre(pointer.x, pointer.y));
        step();
    }
    void clickCell(sf::Vector2i cell)
    {
        const sf::Vector2f at = screen(centre(cell.x, cell.y));
        click(sf::Mouse::Left, static_cast<int>(at.x), static_cast<int>(at.y));
    }
    std::string lastLine() const
    {
        const auto& lines = game->log().lines();
        return lines.empty() ? std::string() : lines.back().getString().toAnsiString();
    }
    sf::Image frame()
    {
        game->draw();
        program->scene().display();
        return program->scene().getTexture().copyToImage();
    }
    MapMark mark(sf::Vector2i cell) const { return game->exploredMap().mark(0, cell.x, cell.y); }
};

// ---- the map ----

TEST_F(Guidance, TheMapKeyShowsTheMapOverAPausedGameAndItsKeysGiveTheGameBackAsItWas)
{
    const struct {
        bool pausedBefore;
        bool focusLost; // while the map shows
        sf::Keyboard::Key close;
        bool pausedAfter;
    } cases[] = {
        {false, false, sf::Keyboard::M, false},      {false, false, sf::Keyboard::Escape, false},
        {false, false, sf::Keyboard::P, false},      {true, false, sf::Keyboard::M, true},
        {true, false, sf::Keyboard::Escape, true},   {false, true, sf::Keyboard::M, true},
    };
    const int ingame = program->top();
    game->player().placeAt(centre(6, 6));
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "paused before " << c.pausedBefore << ", closed by " << c.close);
        game->setPaused(c.pausedBefore);
        press(sf::Keyboard::M);
        ASSERT_TRUE(game->exploredMap().shown());
        EXPECT_TRUE(game->paused());
        EXPECT_FALSE(game->hudFrame().paused); // the map, not the pause screen
        hold(sf::Keyboard::D);
        step(5);
        hold(sf::Keyboard::D, false);
        EXPECT_EQ(game->player().position(), centre(6, 6));
        if (c.focusLost) {
            sf::Event lost;
            lost.type = sf::Event::LostFocus;
            game->handleEvent(lost);
        }
        press(c.close);
        EXPECT_FALSE(game->exploredMap().shown());
        EXPECT_EQ(game->paused(), c.pausedAfter);
        EXPECT_EQ(program->top(), ingame); // Escape closed the map, not the game
    }
    // A key of the player's own.
    game->setPaused(false);
    program->settings().bind(Action::Map, sf::Keyboard::Tab);
    press(sf::Keyboard::M);
    EXPECT_FALSE(game->exploredMap().shown());
    press(sf::Keyboard::Tab);
    EXPECT_TRUE(game->exploredMap().shown());
}

TEST_F(Guidance, EachStepRecordsWhatTheLightReachesAndDrawingChangesNothing)
{
    EXPECT_EQ(game->exploredMap().seenCells(0), 0);
    standAndPoint({7, 6}, {18, 6});
    EXPECT_EQ(mark(PanelCell), MapMark::Panel);
    EXPECT_EQ(mark(ClosedDoorCell), MapMark::ClosedDoor);
    EXPECT_EQ(mark(WindowCellAt), MapMark::Window);
    EXPECT_EQ(mark(OpenDoorCell), MapMark::OpenDoor);
    EXPECT_EQ(mark(HatchCell), MapMark::Hatch); // through the window
    EXPECT_EQ(mark({7, 6}), MapMark::Floor);
    EXPECT_EQ(mark({WallColumn, 1}), MapMark::Wall);
    EXPECT_EQ(mark({WallColumn + 2, 3}), MapMark::Unseen); // behind the wall
    EXPECT_EQ(mark({1, 6}), MapMark::Unseen);             // behind the player

    const int seen = game->exploredMap().seenCells(0);
    game->player().face(0.0); // toward the left: a frame casts the light there, the map keeps still
    game->draw();
    EXPECT_EQ(game->exploredMap().seenCells(0), seen);

    // A door is remembered as it looked: opened out of sight it still shows closed.
    game->world().map().setValue(WallLayer, ClosedDoorCell.x, ClosedDoorCell.y, OpenDoor);
    standAndPoint({7, 6}, {1, 6});
    EXPECT_EQ(mark(ClosedDoorCell), MapMark::ClosedDoor);
    EXPECT_EQ(mark({1, 6}), MapMark::Floor);
    standAndPoint({7, 6}, {18, 6});
    EXPECT_EQ(mark(ClosedDoorCell), MapMark::OpenDoor);
}

TEST_F(Guidance, TheMapDrawsTheSeenCellsAndThePlayerFittedIntoTheScene)
{
    standAndPoint({7, 6}, {18, 6});
    press(sf::Keyboard::M);
    const sf::Image picture = frame();
    const sf::Vector2u scene = program->scene().getSize();
    const float cell = ExploredMap::cellSize(20, 12, scene);
    const sf::Vector2f corner = ExploredMap::origin(20, 12, scene);
    ASSERT_GE(cell, 40.f);
    EXPECT_LE(corner.x + 20 * cell, static_cast<float>(scene.x));
    EXPECT_LE(corner.y + 12 * cell, static_cast<float>(scene.y));
    const auto at = [&](sf::Vector2f place) {
        return picture.getPixel(static_cast<unsigned>(corner.x + place.x), static_cast<unsigned>(corner.y + place.y));
    };
    const auto cellCorner = [&](sf::Vector2i c) { return sf::Vector2f(c.x * cell + 2.f, c.y * cell + 2.f); };
    const sf::Color door = at(cellCorner(ClosedDoorCell));
    EXPECT_TRUE(door.r > 200 && door.g > 100 && door.g < 170 && door.b < 100) << int(door.r) << " " << int(door.g);
    const sf::Color open = at(cellCorner(OpenDoorCell));
    EXPECT_TRUE(open.g > 180 && open.r < 130) << int(open.r) << " " << int(open.g);
    const sf::Color unseen = at(cellCorner({WallColumn + 2, 3}));
    EXPECT_LT(unseen.r + unseen.g + unseen.b, 100);
    const sf::Color you = at(game->player().position() * (cell / TileSize));
    EXPECT_TRUE(you.r > 200 && you.g < 100) << int(you.r) << " " << int(you.g);
}

// ---- analysing ----

TEST_F(Guidance, AnalysingAnyObjectDoorOrWindowGivesItsLine)
{
    program->languageDocument().child("Victory").setString("The hatch of this map.");
    program->languageDocument().child("Books").setString("Books.");
    const struct {
        int tile; // put on a floor cell; 0 to analyse the cell as it is
        sf::Vector2i cell;
        std::string line;
    } cases[] = {
        {ReadingDeskTile, {3, 3}, ReadingDeskText.fallback}, {LabBenchTile, {3, 3}, LabBenchText.fallback},
        {ConsoleTile, {3, 3}, ConsoleText.fallback},         {CrateTile, {3, 3}, CrateText.fallback},
        {BarrelsTile, {3, 3}, BarrelsText.fallback},         {PlantTile, {3, 3}, PlantText.fallback},
        {OperatingTableTile, {3, 3}, OperatingTableText.fallback}, {TankTile, {3, 3}, TankText.fallback},
        {CablesTile, {3, 3}, CablesText.fallback},           {ChairTile, {3, 3}, ChairText.fallback},
        {ScorchTile, {3, 3}, ScorchText.fallback},           {ServerRackTile, {3, 3}, ServerRackText.fallback},
        {PapersTile, {3, 3}, PapersText.fallback},           {BedTile, {3, 3}, BedText.fallback},
        {0, CabinetCell, CabinetText.fallback},              {0, ClosedDoorCell, DoorText.fallback},
        {0, OpenDoorCell, DoorText.fallback},                {0, WindowCellAt, WindowText.fallback},
        {0, HatchCell, "The hatch of this map."},
    };
    program->setCursor(AnalyseCursor);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        if (c.tile != 0)
            game->world().map().setValue(ObjectLayer, c.cell.x, c.cell.y, c.tile);
        game->log().clear();
        clickCell(c.cell);
        ASSERT_EQ(game->log().size(), 1u);
        EXPECT_EQ(lastLine(), c.line);
    }
    // Bare floor and plain wall say nothing; an event's own text comes alone.
    game->log().clear();
    game->world().map().setValue(ObjectLayer, 3, 3, 0);
    clickCell({3, 3});
    clickCell({WallColumn, 1});
    EXPECT_EQ(game->log().size(), 0u);
    game->world().map().setValue(EventLayer, 3, 3, BooksEvent);
    clickCell({3, 3});
    EXPECT_EQ(game->log().size(), 1u);
    EXPECT_EQ(lastLine(), "Books.");
}

TEST_F(Guidance, TheMapMarksCabinetsAndWhereEachStandingHunterWasLastSeenAndThePauseTheGoal)
{
    game->world().map().monsters.push_back(std::make_unique<Hunter>(*game, centre(6, 5), 0.0));
    Monster& hunter = *game->world().map().monsters.back();
    sf::Vector2f place;
    EXPECT_FALSE(game->exploredMap().hunterLastSeen(0, 0, place));

    // In the light toward the cabinet, the hunter on the way: both on the map.
    standAndPoint({3, 5}, CabinetCell);
    EXPECT_EQ(mark(CabinetCell), MapMark::Cabinet);
    standAndPoint({3, 5}, {9, 5});
    ASSERT_TRUE(game->exploredMap().hunterLastSeen(0, 0, place));
    EXPECT_EQ(place, centre(6, 5));
    // Moved out of the light it stays where it was seen; fallen, it is forgotten.
    MonsterProbe::position(hunter) = centre(10, 10);
    standAndPoint({3, 5}, CabinetCell);
    ASSERT_TRUE(game->exploredMap().hunterLastSeen(0, 0, place));
    EXPECT_EQ(place, centre(6, 5));

    press(sf::Keyboard::P);
    const std::vector<std::string> goal = {"Objective: bring every Hunter down.", "Hunters 1/1"};
    EXPECT_EQ(game->hudFrame().pausedGoal, goal);
    press(sf::Keyboard::P);
    hunter.damage(HunterLife);
    step();
    EXPECT_FALSE(game->exploredMap().hunterLastSeen(0, 0, place));
}

// ---- the frame around what can be used ----

TEST_F(Guidance, AUsableThingUnderThePointerWithinReachIsFramed)
{
    // From a neighbouring cell's centre a panel's centre lies just out of reach.
    constexpr float PlayerLean = 40.f;
    const struct {
        sf::Vector2i player;
        sf::Vector2i pointer;
        bool framed;
    } cases[] = {
        {{WallColumn - 1, 3}, PanelCell, true},
        {{WallColumn - 3, 3}, PanelCell, false}, // too far
        {{RemoteCell.x + RemoteColumnOffset, RemoteCell.y + RemoteRowOffset}, RemoteCell, true},
        {{RemoteCell.x, RemoteCell.y - 1}, RemoteCell, false}, // beside it, not where it works from
        {{CabinetCell.x + 1, CabinetCell.y}, CabinetCell, true},
        {{CrateCell.x + 1, CrateCell.y}, CrateCell, false}, // nothing to use
        {{WallColumn - 1, 4}, ClosedDoorCell, false},     // the door works from its panel
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "pointer on (" << c.pointer.x << ", " << c.pointer.y << ")");
        standAndPoint(c.player, c.pointer, PlayerLean);
        EXPECT_EQ(game->highlight().active(), c.framed);
        EXPECT_TRUE(!c.framed || game->highlight().cell() == c.pointer);
    }

    // Drawn over the fog, in the activate cursor's green, just inside the cell's edge.
    standAndPoint({WallColumn - 1, 3}, PanelCell, PlayerLean);
    const sf::Image picture = frame();
    const sf::Vector2f edge = screen(sf::Vector2f(PanelCell.x * TileSize + 8.f, PanelCell.y * TileSize + TileSize / 2.f));
    const sf::Color colour = picture.getPixel(static_cast<unsigned>(edge.x), static_cast<unsigned>(edge.y));
    EXPECT_EQ(colour, sf::Color(130, 235, 120));
}

// ---- where panels work, and what using them takes ----

// The remote panel's door, beside the cell it is worked from: (RemoteCell + (2, -4)) = (5, 7).
const sf::Vector2i RemoteSpot(RemoteCell.x + RemoteColumnOffset, RemoteCell.y + RemoteRowOffset),
    RemoteDoor(RemoteSpot.x + 1, RemoteSpot.y);

class Panels : public Guidance {
protected:
    void SetUp() override
    {
        Guidance::SetUp();
        game->world().map().setValue(WallLayer, RemoteDoor.x, RemoteDoor.y, ClosedDoor);
        for (const char* key : {"RemoteDoor", "RemoteSpot", "RemotePanel", "TooFar"})
            program->languageDocument().child(key).setString(std::string(key) + ".");
    }
    int wall(sf::Vector2i cell) const { return game->world().map().value(WallLayer, cell.x, cell.y); }
};

TEST_F(Panels, WorkFromEveryCellTouchingThemOnNormalAndFromTheirReachOnClassic)
{
    const struct {
        sf::Vector2i player, pointer;
        bool onNormal, onClassic;
    } cases[] = {
        {{WallColumn - 1, 2}, PanelCell, true, false},  // diagonal to the panel
        {{WallColumn - 1, 4}, PanelCell, true, false},  // beside the door, diagonal to its panel
        {{WallColumn - 2, 3}, PanelCell, false, false}, // a cell away
        {RemoteSpot, RemoteCell, true, true},           // the remote panel's own spot
        {{RemoteDoor.x, RemoteDoor.y - 1}, RemoteCell, true, false}, // any floor touching its door
        {{RemoteDoor.x + 1, RemoteDoor.y + 1}, RemoteCell, true, false},
        {{RemoteDoor.x + 2, RemoteDoor.y}, RemoteCell, false, false}, // not touching the door
        {{RemoteCell.x, RemoteCell.y - 1}, RemoteCell, false, false}, // beside the panel, far from its door
        {{CabinetCell.x + 1, CabinetCell.y + 1}, CabinetCell, true, true},
    };
    for (const Difficulty difficulty : {Difficulty::Normal, Difficulty::Classic})
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << difficultyName(difficulty) << ", player on (" << c.player.x << ", "
                                              << c.player.y << "), pointer on (" << c.pointer.x << ", " << c.pointer.y
                                              << ")");
            program->settings().difficulty = difficulty;
            standAndPoint(c.player, c.pointer);
            EXPECT_EQ(game->highlight().active(), difficulty == Difficulty::Normal ? c.onNormal : c.onClassic);
        }
}

TEST_F(Panels, ALeftClickUsesWhatIsFramedWhateverTheCursorAndTheUseKeyDoesTheSame)
{
    program->settings().difficulty = Difficulty::Normal;
    const struct {
        int cursor;
        bool useKey;
        sf::Vector2i player, pointer, door;
        bool opens, swings;
    } cases[] = {
        {AttackCursor, false, {WallColumn - 1, 2}, PanelCell, ClosedDoorCell, true, false},
        {ActivateCursor, false, {WallColumn - 1, 2}, PanelCell, ClosedDoorCell, true, false},
        {AttackCursor, true, {WallColumn - 1, 2}, PanelCell, ClosedDoorCell, true, false},
        {AttackCursor, false, {RemoteDoor.x, RemoteDoor.y - 1}, RemoteCell, RemoteDoor, true, false},
        {AnalyseCursor, false, {WallColumn - 1, 2}, PanelCell, ClosedDoorCell, false, false},
        {AttackCursor, false, {WallColumn - 3, 3}, PanelCell, ClosedDoorCell, false, true}, // out of reach
        {AttackCursor, true, {WallColumn - 3, 3}, PanelCell, ClosedDoorCell, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "cursor " << c.cursor << (c.useKey ? ", use key" : ", click")
                                          << ", player on (" << c.player.x << ", " << c.player.y << ")");
        ASSERT_TRUE(startWith(guideRoom()));
        game->world().map().setValue(WallLayer, RemoteDoor.x, RemoteDoor.y, ClosedDoor);
        standAndPoint(c.player, c.pointer);
        program->setCursor(c.cursor);
        if (c.useKey)
            press(program->settings().key(Action::Use));
        else
            clickCell(c.pointer);
        EXPECT_EQ(game->player().attackTimer() != 0, c.swings);
        step(DoorSteps + 1);
        EXPECT_EQ(wall(c.door), c.opens ? OpenDoor : ClosedDoor);
    }
}

TEST_F(Panels, TheRemotePanelsDoorAndSpotSayWhatWorksThemAndTheViewHoldsOnAFramedThing)
{
    program->setCursor(AnalyseCursor);
    const struct {
        sf::Vector2i cell;
        const char* line;
    } cases[] = {{RemoteDoor, "RemoteDoor."}, {RemoteSpot, "RemoteSpot."}, {RemoteCell, "RemotePanel."},
                 {ClosedDoorCell, "A door. It opens from a panel beside it."}};
    for (const auto& c : cases) {
        standAndPoint({RemoteDoor.x, RemoteDoor.y - 1}, c.cell);
        program->setCursor(AnalyseCursor);
        clickCell(c.cell);
        EXPECT_EQ(lastLine(), c.line);
    }

    // Framed: the view stays where it was however the pointer lies from the centre.
    program->settings().difficulty = Difficulty::Normal;
    standAndPoint({WallColumn - 1, 2}, PanelCell);
    ASSERT_TRUE(game->highlight().active());
    const sf::Vector2f before = game->world().camera();
    step(10);
    EXPECT_EQ(game->world().camera(), before);
    standAndPoint({WallColumn - 1, 2}, {WallColumn - 6, 9});
    step(10);
    EXPECT_NE(game->world().camera(), before);
}

} // namespace
} // namespace testing
} // namespace vrk
