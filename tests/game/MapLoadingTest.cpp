#include "IngameFixture.hpp"

#include "game/monsters/Hunter.hpp"
#include "tavric/model/Tavric.hpp"

namespace vrk {
namespace testing {
namespace {

using MapLoading = IngameTest;

int stored(Ingame& game, int layer, int column, int row)
{
    return game.world().slot(0).value(layer, column, row);
}

TEST_F(MapLoading, EachLayerStoresItsCodeMinusItsOwnRange)
{
    TestMap map(20, 12);
    map.setCode(ObjectLayer, 1, 1, 181); // first object tile
    map.setCode(ObjectLayer, 2, 1, 5);   // a ground code in the object layer: empty
    map.setCode(GroundLayer, 3, 1, -7);  // negatives are empty
    map.setCode(WallLayer, 1, 2, 542);
    map.setCode(WallLayer, 2, 2, 543);
    map.setCode(WallLayer, 3, 2, 544);
    map.setCode(WallLayer, 6, 2, 541);
    map.setCode(EventLayer, 4, 2, 720 + 13);
    map.setCode(CeilingLayer, 5, 2, 360 + 180);
    ASSERT_TRUE(startWith(map));

    EXPECT_EQ(stored(*game, ObjectLayer, 1, 1), 1);
    EXPECT_EQ(stored(*game, ObjectLayer, 2, 1), 0);
    EXPECT_EQ(stored(*game, GroundLayer, 3, 1), 0);
    EXPECT_EQ(stored(*game, GroundLayer, 4, 1), 1);
    EXPECT_EQ(stored(*game, WallLayer, 1, 2), WallCell);
    EXPECT_EQ(stored(*game, WallLayer, 2, 2), ClosedDoor);
    EXPECT_EQ(stored(*game, WallLayer, 3, 2), OpenDoor);
    EXPECT_EQ(stored(*game, EventLayer, 4, 2), 13);
    EXPECT_EQ(stored(*game, CeilingLayer, 5, 2), 180);
    EXPECT_TRUE(game->world().slot(0).blocked(1, 2));
    EXPECT_TRUE(game->world().slot(0).blocked(2, 2));
    EXPECT_FALSE(game->world().slot(0).blocked(3, 2));
    EXPECT_EQ(stored(*game, WallLayer, 6, 2), WindowCell);
    EXPECT_TRUE(game->world().slot(0).blocked(6, 2));
    EXPECT_EQ(game->world().slot(0).explored, std::vector<int>(20 * 12, 0));
}

TEST_F(MapLoading, AWindowStopsTheWalkerButNotTheLight)
{
    TestMap map(20, 12);
    for (int row = 0; row < 12; ++row) {
        map.setCode(WallLayer, 8, row, 541);
        map.setCode(WallLayer, 12, row, 542);
    }
    ASSERT_TRUE(startWith(map));
    const sf::Vector2f start = centre(6, 5);
    game->player().placeAt(start);
    game->followCamera();
    pointAt(centre(12, 5));
    hold(sf::Keyboard::D);
    step(20);
    hold(sf::Keyboard::D, false);
    EXPECT_EQ(cellOf(game->player().position().x), 7);
    game->castLight();
    EXPECT_EQ(game->world().slot(0).explored[5 * 20 + 12], 1) << "the wall behind the glass is seen";
    EXPECT_EQ(game->world().slot(0).explored[5 * 20 + 8], 0) << "the glass is not a wall to remember";
}

TEST_F(MapLoading, MonsterCodesCreateTheirKindAtTheCellCornerHeadingDown)
{
    TestMap map(20, 12);
    map.setCode(MonsterLayer, 3, 4, HunterCode);
    map.setCode(MonsterLayer, 5, 4, HunterHCode);
    map.setCode(MonsterLayer, 2, 6, HunterVCode);
    map.setCode(MonsterLayer, 7, 6, HunterSquareCode);
    map.setCode(MonsterLayer, 8, 6, 906);
    map.setCode(MonsterLayer, 9, 6, 901);
    ASSERT_TRUE(startWith(map));

    const auto& monsters = game->world().slot(0).monsters;
    ASSERT_EQ(monsters.size(), 4u);
    // Row by row, left to right.
    const HunterKind kinds[] = {HunterKind::Turning, HunterKind::Horizontal, HunterKind::Vertical, HunterKind::Square};
    for (int i = 0; i < 4; ++i) {
        const Hunter* hunter = dynamic_cast<Hunter*>(monsters[i].get());
        ASSERT_NE(hunter, nullptr) << i;
        EXPECT_EQ(hunter->kind(), kinds[i]) << i;
    }
    EXPECT_EQ(monsters[0]->position(), sf::Vector2f(360.f, 480.f));
    EXPECT_EQ(monsters[3]->position(), sf::Vector2f(840.f, 720.f));
    for (const auto& monster : monsters)
        EXPECT_EQ(monster->heading(), 90.0);
    EXPECT_TRUE(game->world().slot(0).layers[MonsterLayer].empty());
    EXPECT_TRUE(game->world().slot(0).bullets.empty());
}

TEST_F(MapLoading, LayersAreTakenInNameOrderAndMissingOnesAreEmpty)
{
    zul::Tavric& field = program->configDocument().child("Maps").child("Only");
    field.child("Width").setInt(2);
    field.child("Height").setInt(1);
    zul::Tavric& layers = field.child("Layers");
    // Document order b, a, c, d: the field named a is the ground.
    writeCollection(layers, "b", {181, 182});
    writeCollection(layers, "a", {3, 4});
    writeCollection(layers, "c", {361, 0});
    writeCollection(layers, "d", {542, 540});
    ASSERT_TRUE(game->start());

    EXPECT_EQ(stored(*game, GroundLayer, 0, 0), 3);
    EXPECT_EQ(stored(*game, GroundLayer, 1, 0), 4);
    EXPECT_EQ(stored(*game, ObjectLayer, 1, 0), 2);
    EXPECT_EQ(stored(*game, CeilingLayer, 0, 0), 1);
    EXPECT_EQ(stored(*game, WallLayer, 0, 0), WallCell);
    EXPECT_EQ(game->world().slot(0).layers[EventLayer], std::vector<int>(2, 0));
    EXPECT_TRUE(game->world().slot(0).monsters.empty());
}

TEST_F(MapLoading, AShortLayerNamesItsFirstMissingCellAndFailsTheStart)
{
    TestMap map(10, 10);
    map.write(program->configDocument().child("Maps").child("M0"));
    zul::Tavric& wall = program->configDocument().child("Maps").child("M0").child("Layers").child("L3");
    std::vector<int64_t> kept;
    for (std::size_t i = 0; i + 1 < wall.getCollection()->size(); ++i)
        kept.push_back(wall.childAt(i)->getInt());
    zul::Collection* shorter = wall.makeCollection();
    for (int64_t code : kept)
        shorter->appendInt(code);

    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(game->start());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Map format is incorrect (9, 9)\n");

    // The failed module draws nothing, and its first update leaves it.
    game->draw();
    step();
    EXPECT_EQ(program->top(), program->quitState());
}

TEST_F(MapLoading, ALayerThatIsNoCollectionIsRejectedLikeAShortOne)
{
    TestMap map(4, 3);
    map.write(program->configDocument().child("Maps").child("M0"));
    zul::Tavric& layers = program->configDocument().child("Maps").child("M0").child("Layers");
    layers.removeChild("L1");
    layers.child("L1").setInt(181);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(game->start());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Map format is incorrect (0, 0)\n");
}

TEST_F(MapLoading, SizesThatCannotBeAMapAreRefused)
{
    TestMap map(3, 3);
    map.write(program->configDocument().child("Maps").child("M0"));
    program->configDocument().child("Maps").child("M0").child("Width").setInt(-3);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(game->start());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Map format is incorrect: Width and Height must lie between 0 and 1000.\n");
}

TEST_F(MapLoading, EveryMapUnderMapsGetsASlotInNameOrderAsTheDocumentHoldsThem)
{
    zul::Tavric& maps = program->configDocument().child("Maps");
    for (const char* name : {"D", "B", "C", "A"}) {
        TestMap map(name[0] - 'A' + 1, 2);
        map.write(maps.child(name));
    }
    game->setLoadingScreenShown(true);
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(game->start());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(game->world().mapCount(), 4);
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(game->world().slot(slot).width, slot + 1);
    // A step per map on the bar, and one after them.
    EXPECT_EQ(loadingFrame, FontCount + TextureCount + 4 + 1);

    // Fewer maps on the next start: the slots follow the document.
    game->stop();
    ASSERT_TRUE(maps.removeChild("C") && maps.removeChild("D"));
    ASSERT_TRUE(game->start());
    EXPECT_EQ(game->world().mapCount(), 2);

    // None at all: a line says so and an empty map is played, not the last one read.
    game->stop();
    ASSERT_TRUE(program->configDocument().removeChild("Maps"));
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(game->start());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "No map under \"Maps\": the game plays an empty one.\n");
    EXPECT_EQ(game->world().mapCount(), 0);
    EXPECT_EQ(game->world().map().width, 0);
    EXPECT_TRUE(game->world().map().monsters.empty());
}

TEST_F(MapLoading, ProgressCountsEveryResourceAndMap)
{
    game->setLoadingScreenShown(true);
    ASSERT_TRUE(startWith(TestMap(20, 12)));
    // Reports without sound the fonts, the textures, the map and the end of the maps.
    EXPECT_EQ(loadingFrame, FontCount + TextureCount + 2);

    game->stop();
    program->setOption("Sound", "True");
    ASSERT_TRUE(game->start());
    EXPECT_EQ(loadingFrame, FontCount + SoundCount + MusicCount + TextureCount + 2);
    EXPECT_TRUE(game->audio().enabled());
    EXPECT_EQ(game->audio().music(1).getStatus(), sf::Music::Playing);
}

TEST_F(MapLoading, AMissingResourceIsNamedReadablyAndEndsTheRun)
{
    const std::string shot = testResourceDirectory() + "res/shot.png";
    const std::string aside = shot + ".aside";
    std::rename(shot.c_str(), aside.c_str());
    ::testing::internal::CaptureStderr();
    const bool started = startWith(TestMap(20, 12));
    const std::string errors = ::testing::internal::GetCapturedStderr();
    std::rename(aside.c_str(), shot.c_str());

    EXPECT_FALSE(started);
    EXPECT_NE(errors.find("vrk::Ingame failure: res/shot.png\n"), std::string::npos) << errors;
    sf::Event space;
    space.type = sf::Event::KeyPressed;
    space.key = sf::Event::KeyEvent{sf::Keyboard::Space, false, false, false, false};
    game->handleEvent(space);
    game->draw();
    click(sf::Mouse::Left, 100, 100);
    EXPECT_EQ(program->exitStatus(), 0);
    step();
    EXPECT_EQ(program->top(), program->quitState());
    EXPECT_EQ(program->exitStatus(), 1);
}

TEST_F(MapLoading, RestartingKeepsTheWallsTheFogRemembers)
{
    TestMap map(20, 12);
    ASSERT_TRUE(startWith(map));
    game->world().slot(0).explored[5] = 1;
    game->stop();
    ASSERT_TRUE(game->start());
    EXPECT_EQ(game->world().slot(0).explored[5], 1);
    // Another map in the slot starts unseen: the old marks would fall on other cells.
    ASSERT_TRUE(startWith(TestMap(21, 12)));
    EXPECT_EQ(game->world().slot(0).explored, std::vector<int>(21 * 12, 0));
}

TEST_F(MapLoading, AnEmptyOrTinyMapStillPlays)
{
    // The start cell (51, 37) lies far outside both maps.
    for (int size : {0, 3}) {
        ASSERT_TRUE(startWith(TestMap(size, size)));
        EXPECT_EQ(game->world().camera(), sf::Vector2f(0.f, 0.f));
        hold(sf::Keyboard::Left);
        step(3);
        game->draw();
        EXPECT_EQ(game->player().position(), PlayerStart);
        hold(sf::Keyboard::Left, false);
        game->stop();
    }
}

} // namespace
} // namespace testing
} // namespace vrk
