#include "IngameFixture.hpp"
#include "LiteralFog.hpp"

#include "game/TileBatches.hpp"
#include "game/monsters/Bullet.hpp"
#include "game/monsters/Hunter.hpp"
#include "shell/SceneCopy.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

namespace vrk {
namespace testing {
namespace {

// 40 x 30 cells: a border, scattered pillars and a few doors, a hunter boxed in a corner.
TestMap walledMap()
{
    std::vector<std::string> rows(30, std::string(40, '.'));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            if (x == 0 || y == 0 || x == 39 || y == 29 || (x % 7 == 3 && y % 5 == 2) || (x + 2 * y) % 23 == 0)
                rows[y][x] = '#';
            else if ((x * 3 + y) % 31 == 0)
                rows[y][x] = 'D';
        }
    rows[1][1] = 'h';
    rows[1][2] = rows[2][1] = rows[2][2] = '#';
    return TestMap(rows);
}

unsigned differingPixels(const sf::Image& a, const sf::Image& b)
{
    unsigned count = 0;
    for (std::size_t i = 0; i < std::size_t(SceneWidth) * SceneHeight * 4; i += 4)
        count += std::memcmp(a.getPixelsPtr() + i, b.getPixelsPtr() + i, 4) != 0;
    return count;
}

class Rendering : public IngameTest {
protected:
    void SetUp() override
    {
        IngameTest::SetUp();
        ASSERT_TRUE(startWith(walledMap()));
    }
    void put(sf::Vector2f position, double facing)
    {
        game->player().placeAt(position);
        game->followCamera();
        game->player().face(facing);
    }
    // Every cell of a layer of the map being played set to value.
    void fill(int layer, int value) { game->world().slot(0).layers[layer].assign(40 * 30, value); }
    // A whole frame drawn over a scene cleared to background.
    sf::Image drawnOn(sf::Color background)
    {
        program->scene().clear(background);
        game->draw();
        program->scene().display();
        return program->scene().getTexture().copyToImage();
    }
    // Casts the light of a step (which remembers walls), then paints the frame's on a white
    // scene: 255 lit, 127 half dark, 0 dark, in every channel.
    sf::Image lightOnWhite()
    {
        game->castLight();
        program->scene().clear(sf::Color::White);
        game->drawFog();
        program->scene().display();
        return program->scene().getTexture().copyToImage();
    }
    // The same with the literal fog, drawn into the module's fog texture and laid over the scene.
    sf::Image literalLightOnWhite()
    {
        program->scene().clear(sf::Color::White);
        drawLiteralFog(*game, game->light().referenceTexture());
        program->scene().draw(sf::Sprite(game->light().referenceTexture().getTexture()));
        program->scene().display();
        return program->scene().getTexture().copyToImage();
    }
    sf::Color pixelAt(const sf::Image& image, sf::Vector2f scene)
    {
        const sf::Vector2f at = screen(scene);
        return image.getPixel(static_cast<unsigned>(at.x), static_cast<unsigned>(at.y));
    }
    sf::Uint8 lightAt(const sf::Image& image, sf::Vector2f scene) { return pixelAt(image, scene).r; }
};

// The camera as far right and down as the map lets it go.
const sf::Vector2f LastCamera(40 * 120 - 1920.f, 30 * 120 - 1080.f);

TEST_F(Rendering, VisibleCellsCoverTheSceneClippedToTheMap)
{
    const struct Case {
        const char* name;
        sf::Vector2f camera;
        int x0, y0, x1, y1;
    } cases[] = {
        {"origin", {0.f, 0.f}, 0, 0, 16, 9},
        {"between cells", {130.f, 250.f}, 1, 2, 17, 11},
        {"far corner: a pixel of margin reaches the cells before", LastCamera, 23, 20, 39, 29},
    };
    for (const Case& c : cases) {
        game->world().setCamera(c.camera);
        const CellRange range = game->visibleCells();
        EXPECT_EQ(std::vector<int>({range.x0, range.y0, range.x1, range.y1}),
                  std::vector<int>({c.x0, c.y0, c.x1, c.y1}))
            << c.name;
    }
}

TEST_F(Rendering, TheCameraFollowsThePlayerAndStaysOnTheMap)
{
    put(centre(20, 15), 0.0);
    EXPECT_EQ(game->world().camera(), sf::Vector2f(20 * 120 + 60 - 960.f, 15 * 120 + 60 - 540.f));
    put(centre(1, 1), 0.0);
    EXPECT_EQ(game->world().camera(), sf::Vector2f(0.f, 0.f));
    put(centre(38, 28), 0.0);
    EXPECT_EQ(game->world().camera(), LastCamera);
}

TEST_F(Rendering, ARayEndsAtTheFirstWallSampleAndRemembersTheWall)
{
    // Wall at column 6 of row 10 begins 50 to the right of the player.
    game->world().slot(0).layers[WallLayer][10 * 40 + 6] = WallCell;
    game->world().slot(0).layers[WallLayer][10 * 40 + 5] = 0;
    put(sf::Vector2f(670.f, 1260.f), Pi); // the cone points along +x
    game->light().setHalfFieldOfView(1e-4);
    game->castLight();
    ASSERT_FALSE(game->light().rayLengths().empty());
    for (const float length : game->light().rayLengths())
        EXPECT_EQ(length, 60.f);
    EXPECT_EQ(game->world().slot(0).explored[10 * 40 + 6], 1);
    EXPECT_EQ(game->light().rayHits().front(), sf::Vector2i(6, 10));

    // The default cone has 1800 rays; one that finds no wall draws 1140 long.
    game->light().setHalfFieldOfView(HalfFieldOfView);
    fill(WallLayer, 0);
    put(centre(20, 15), 0.0);
    game->castLight();
    EXPECT_NEAR(static_cast<double>(game->light().rayLengths().size()), 1800.0, 1.0);
    EXPECT_EQ(game->light().rayLengths().front(), 1140.f);
}

TEST_F(Rendering, ARayLeavingTheMapTouchesNothingThere)
{
    TestMap open(20, 12);
    ASSERT_TRUE(startWith(open));
    put(sf::Vector2f(30.f, 30.f), 0.0); // the cone points along -x, straight off the map
    game->light().setHalfFieldOfView(1e-4);
    game->castLight();
    for (const float length : game->light().rayLengths())
        EXPECT_EQ(length, 60.f);
    EXPECT_TRUE(game->light().rayHits().empty());
    EXPECT_EQ(game->world().slot(0).explored, std::vector<int>(20 * 12, 0));
}

TEST_F(Rendering, WallsStayHalfVisibleAfterThePlayerTurnsAwayButGroundDoesNot)
{
    MapRecord& map = game->world().slot(0);
    fill(WallLayer, 0);
    map.layers[WallLayer][15 * 40 + 25] = WallCell;
    put(centre(20, 15), Pi); // looking along +x at the wall 5 cells away
    sf::Image light = lightOnWhite();
    EXPECT_EQ(map.explored[15 * 40 + 25], 1);
    EXPECT_EQ(lightAt(light, centre(25, 15)), 255);
    EXPECT_EQ(lightAt(light, centre(23, 15) + sf::Vector2f(0.f, -1.f)), 255);

    put(centre(20, 15), 0.0); // now along -x
    light = lightOnWhite();
    EXPECT_EQ(lightAt(light, centre(25, 15)), 127);
    EXPECT_EQ(lightAt(light, centre(23, 15) + sf::Vector2f(0.f, -1.f)), 0);
    EXPECT_EQ(lightAt(light, centre(17, 15) + sf::Vector2f(0.f, -1.f)), 255);
}

TEST_F(Rendering, TheFanLightsWhatTheLiteralFogLightsAndRemembersTheSameWalls)
{
    const struct {
        sf::Vector2f position;
        double facing;
    } views[] = {{centre(20, 15), 0.3},
                 {centre(20, 15), -2.0},
                 {centre(5, 4) + sf::Vector2f(17.f, 31.f), 2.5},
                 {centre(34, 25) + sf::Vector2f(-40.f, 9.f), -0.8},
                 {centre(12, 20), Pi}};
    const unsigned limit = SceneWidth * SceneHeight / 1000; // 0.1 % of the scene
    for (const auto& view : views) {
        put(view.position, view.facing);
        // A second look from the same place, so that remembered walls are part of the picture.
        for (int look = 0; look < 2; ++look) {
            const std::vector<int> explored = game->world().slot(0).explored;
            const sf::Image expected = literalLightOnWhite();
            const std::vector<int> literalExplored = game->world().slot(0).explored;
            game->world().slot(0).explored = explored;
            const sf::Image actual = lightOnWhite();
            EXPECT_EQ(game->world().slot(0).explored, literalExplored);

            // The fan lights more (the gaps between rays); what the rays light it lights too, and
            // half dark and dark stay the same everywhere the fan does not reach.
            unsigned missing = 0, lit = 0;
            const sf::Uint8* want = expected.getPixelsPtr();
            const sf::Uint8* got = actual.getPixelsPtr();
            for (std::size_t i = 0; i < std::size_t(SceneWidth) * SceneHeight * 4; i += 4) {
                missing += want[i] == 255 && got[i] != 255;
                lit += want[i] == 255;
            }
            EXPECT_LE(missing, limit) << "facing " << view.facing;
            // The comparison means something only if the cone lit a good part of the scene.
            EXPECT_GT(lit, SceneWidth * SceneHeight / 20u);
            game->player().face(game->player().facing() + 0.4);
        }
    }
}

TEST_F(Rendering, SkippingDarkCellsChangesNoPixel)
{
    fill(ObjectLayer, 3);
    fill(CeilingLayer, 0);
    for (int i = 0; i < 40 * 30; i += 7)
        game->world().slot(0).layers[CeilingLayer][i] = 5;
    const struct {
        sf::Vector2f position;
        double facing;
    } views[] = {{centre(20, 15), 0.3}, {centre(5, 4), 2.5}, {centre(34, 25), -0.8}, {centre(12, 20), Pi}};
    for (const auto& view : views) {
        sf::Image pictures[2];
        for (int cull = 0; cull < 2; ++cull) {
            put(view.position, view.facing);
            game->setCullDarkCells(cull == 1);
            pictures[cull] = drawnOn(sf::Color(90, 20, 160));
        }
        unsigned culled = 0;
        for (int row = game->light().litRange().y0; row <= game->light().litRange().y1; ++row)
            for (int column = game->light().litRange().x0; column <= game->light().litRange().x1; ++column)
                culled += !game->light().lit(column, row);
        EXPECT_EQ(differingPixels(pictures[0], pictures[1]), 0u) << "facing " << view.facing;
        EXPECT_GT(culled, 10u); // the comparison is worth something
    }
}

// Opaque tiles come from a copy of their sheet in the window's byte order, which the renderer
// copies instead of shading: the pixels must be those of the sheet itself, at whole and at
// fractional camera positions (there the texels are shaded), and a batch drawn with another sheet must show that sheet.
TEST_F(Rendering, OpaqueTilesFromTheCopiedSheetPaintTheSheetsPixels)
{
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(SceneWidth, SceneHeight));
    SceneCopy::matchWindowLayout(target);
    const MapRecord& map = game->world().map();
    const std::vector<bool> allOpaque(64, true);
    const auto everyCell = [](int, int) { return true; };
    const auto picture = [&](TileBatches& tiles, const sf::Texture& sheet, sf::Vector2f camera) {
        target.clear(sf::Color(90, 20, 160));
        const CellRange range{cellOf(camera.x), cellOf(camera.y), cellOf(camera.x + SceneWidth),
                              cellOf(camera.y + SceneHeight)};
        tiles.draw(target, map, GroundLayer, range, camera, sheet, everyCell, allOpaque);
        target.display();
        return target.getTexture().copyToImage();
    };
    const sf::Texture& ground = game->texture(GroundSheet);
    // The copy itself holds the sheet's texels, in whatever order it stores them.
    sf::Texture copy;
    ASSERT_TRUE(target.setActive(true));
    ASSERT_TRUE(SceneCopy::copyInWindowLayout(ground, copy));
    const sf::Image sheet = ground.copyToImage();
    ASSERT_EQ(copy.getSize(), sheet.getSize());
    EXPECT_EQ(std::memcmp(copy.copyToImage().getPixelsPtr(), sheet.getPixelsPtr(),
                          std::size_t(sheet.getSize().x) * sheet.getSize().y * 4),
              0);

    TileBatches copied, shaded;
    shaded.copyOpaqueTiles(false);
    for (const sf::Vector2f camera : {sf::Vector2f(0.f, 0.f), sf::Vector2f(600.f, 240.f), sf::Vector2f(613.5f, 97.25f),
                                      sf::Vector2f(1000.75f, 1201.5f)}) {
        const sf::Image expected = picture(shaded, ground, camera);
        EXPECT_EQ(differingPixels(picture(copied, ground, camera), expected), 0u) << camera.x << ", " << camera.y;
    }

    // Another sheet in the same batches: its copy replaces the first.
    sf::Image inverted = sheet;
    for (unsigned y = 0; y < inverted.getSize().y; ++y)
        for (unsigned x = 0; x < inverted.getSize().x; ++x) {
            const sf::Color c = inverted.getPixel(x, y);
            inverted.setPixel(x, y, sf::Color(255 - c.r, 255 - c.g, 255 - c.b, c.a));
        }
    sf::Texture other;
    ASSERT_TRUE(other.loadFromImage(inverted));
    const sf::Image expected = picture(shaded, other, sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(differingPixels(picture(copied, other, sf::Vector2f(0.f, 0.f)), expected), 0u);
    EXPECT_GT(differingPixels(expected, picture(shaded, ground, sf::Vector2f(0.f, 0.f))), 1000u);
}

TEST_F(Rendering, FramesLeaveTheSceneOpaqueWhateverItHeldAfterTheStart)
{
    fill(WallLayer, 0);
    fill(GroundLayer, 0);     // nothing covers the scene but the fog
    put(centre(20, 15), 0.0); // light toward -x
    // The second frame starts from an opaque scene whose dark part shows colour again.
    for (const sf::Color background : {sf::Color(200, 100, 50, 0), sf::Color(200, 100, 50, 255)}) {
        const sf::Image scene = drawnOn(background);
        EXPECT_EQ(pixelAt(scene, centre(23, 15)), sf::Color::Black) << int(background.a);
        unsigned transparent = 0;
        for (unsigned y = 0; y < SceneHeight; ++y)
            for (unsigned x = 0; x < SceneWidth; ++x)
                transparent += scene.getPixel(x, y).a != 255;
        EXPECT_EQ(transparent, 0u) << int(background.a);
    }
}

TEST_F(Rendering, ADoorShowsItsNewTileInTheFrameAfterTheStepThatMovedIt)
{
    fill(WallLayer, 0);
    fill(GroundLayer, 1);
    game->world().slot(0).layers[WallLayer][15 * 40 + 17] = ClosedDoor;
    put(centre(20, 15), 0.0); // light toward -x, onto the door
    const auto doorRed = [&] { return pixelAt(drawnOn(sf::Color::White), centre(17, 15)).r; };
    EXPECT_EQ(doorRed(), 40); // tile 0 of the stand-in ground sheet
    const unsigned builds = game->tiles().builds(GroundLayer);
    EXPECT_EQ(doorRed(), 40);
    EXPECT_EQ(game->tiles().builds(GroundLayer), builds) << "nothing changed: the batch is reused";

    // The opening task's first tile change comes at its counter's 15.
    game->tasks().schedule(&Events::openDoorTask, {40, 17, 15, 15});
    game->tasks().run(*game);
    EXPECT_EQ(doorRed(), 49); // tile 1
    EXPECT_EQ(game->tiles().builds(GroundLayer), builds + 1);
}

TEST_F(Rendering, TheFadingOverlayIsLeftOutOnlyWhenOpaqueGroundCoversTheView)
{
    MapRecord& map = game->world().slot(0);
    fill(GroundLayer, 1);
    put(centre(20, 15), 0.0);
    EXPECT_TRUE(game->coversScene());
    map.layers[GroundLayer][15 * 40 + 13] = 0; // a visible hole: the overlay's fading shows there
    EXPECT_FALSE(game->coversScene());
    map.layers[GroundLayer][15 * 40 + 13] = 1;
    map.layers[GroundLayer][2 * 40 + 2] = 0; // out of view
    EXPECT_TRUE(game->coversScene());
    game->stop();
    EXPECT_FALSE(game->coversScene());
}

TEST_F(Rendering, ASparkShowsUntilItsTimerRunsOut)
{
    game->events().addSpark(21, 15, 20);
    step(19);
    game->draw();
    ASSERT_EQ(game->events().sparks().size(), 1u);
    EXPECT_EQ(game->events().sparks().front().timer, 1);
    step();
    EXPECT_TRUE(game->events().sparks().empty());
}

TEST_F(Rendering, DrawingLeavesTheGameAsItWas)
{
    put(centre(20, 15), 0.3);
    game->events().addSpark(21, 15, 20);
    game->world().addBullet(std::make_unique<Bullet>(*game, centre(22, 15), 0.0));
    game->dialogue().start(OpeningScript);
    game->addMessage("a line");
    const auto number = [](long long value) { return std::to_string(value) + " "; };
    const struct {
        const char* part;
        std::function<std::string()> state;
    } parts[] = {
        {"sparks",
         [&] {
             std::string state;
             for (const Spark& spark : game->events().sparks())
                 state += number(spark.timer) + number(spark.frame) + number(spark.angle);
             return state;
         }},
        {"bullets", [&] { return number(static_cast<const Bullet&>(*game->world().map().bullets.front()).spin()); }},
        {"explored",
         [&] {
             const std::vector<int>& explored = game->world().map().explored;
             return number(std::count(explored.begin(), explored.end(), 1));
         }},
        {"log", [&] { return number(static_cast<long long>(game->log().size())) + number(game->log().stepsLeft()); }},
        {"portrait", [&] { return number(game->dialogue().faceAlpha()); }},
        {"tasks", [&] { return number(static_cast<long long>(game->tasks().size())); }},
    };
    std::vector<std::string> before;
    for (const auto& part : parts)
        before.push_back(part.state());
    for (int frame = 0; frame < 3; ++frame)
        game->draw();
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(parts[i].state(), before[i]) << parts[i].part;
}

TEST_F(Rendering, TheLogStacksUpwardFromTheBottomOldestLowest)
{
    game->addMessage("first");
    game->addMessage("second");
    game->draw();
    EXPECT_EQ(game->log().lines().front().getPosition(), sf::Vector2f(20.f, 1020.f));
    EXPECT_EQ(game->log().lines().back().getPosition(), sf::Vector2f(20.f, 960.f));
}

// Drawing only shows the log: the step keeps the end's line, once, for as long as the end lasts.
TEST_F(Rendering, AnEndsLineShowsOnceAndStaysWhateverTheFrames)
{
    game->addMessage("before");
    setLife(0);
    for (int frame = 0; frame < 4; ++frame)
        game->draw();
    EXPECT_EQ(game->log().size(), 1u);
    EXPECT_EQ(game->player().body().getTextureRect(), sf::IntRect(960, 0, 120, 120));
    for (int i = 0; i < 3 * MessageSteps; ++i) {
        step();
        game->draw();
    }
    ASSERT_EQ(game->log().size(), 2u);
    EXPECT_EQ(game->log().lines().front().getString().toAnsiString(), "before");
    EXPECT_EQ(game->log().lines().back().getString().toAnsiString(), GameOverText.fallback);
}

TEST_F(Rendering, TheSceneShowsTilesUnderTheLightAndDarknessElsewhere)
{
    fill(WallLayer, 0);
    put(centre(20, 15), 0.0); // light toward -x
    const sf::Image scene = drawnOn(sf::Color::White);
    // Ground tile 0 of the stand-in sheet is (40, 200, ...) under the light.
    EXPECT_EQ(pixelAt(scene, centre(17, 15) + sf::Vector2f(0.f, -1.f)).g, 200);
    EXPECT_EQ(pixelAt(scene, centre(23, 15)), sf::Color::Black);
}

// Behind the player, in the dark: a hunter within the circle of awareness shows whole over the
// fog and one beyond it does not; a bullet shows larger than the first rules' and with its trail.
// On classic all of them stay under the fog. (Stand-in pictures are opaque, green 200.)
TEST_F(Rendering, NearHuntersAndBulletsShowInTheDarkOnTheEasierRules)
{
    fill(WallLayer, 0);
    fill(CeilingLayer, 0);
    put(centre(20, 15), 0.0); // light toward -x: +x is dark
    const sf::Vector2f here = game->player().position();
    auto& monsters = game->world().map().monsters;
    monsters.push_back(std::make_unique<Hunter>(*game, here + sf::Vector2f(130.f, 0.f), 180.0));
    monsters.push_back(std::make_unique<Hunter>(*game, here + sf::Vector2f(330.f, 0.f), 180.0));
    // Flying up, three steps from where it was fired.
    auto bullet = std::make_unique<Bullet>(*game, here + sf::Vector2f(600.f, 200.f), -90.0);
    for (int i = 0; i < 3; ++i)
        bullet->step();
    const sf::Vector2f shot = bullet->shotPosition();
    game->world().map().bullets.push_back(std::move(bullet));
    for (const Difficulty difficulty : {Difficulty::Normal, Difficulty::Classic}) {
        SCOPED_TRACE(difficultyName(difficulty));
        program->settings().difficulty = difficulty;
        const bool easier = difficulty != Difficulty::Classic;
        const sf::Image scene = drawnOn(sf::Color::White);
        EXPECT_EQ(pixelAt(scene, here + sf::Vector2f(130.f, 0.f)).g, easier ? 200 : 0);
        EXPECT_EQ(pixelAt(scene, here + sf::Vector2f(330.f, 0.f)).g, 0);
        // Beside the shot, beyond the small picture's 7.5, and behind it on its trail.
        EXPECT_EQ(pixelAt(scene, shot + sf::Vector2f(10.f, 0.f)).g, easier ? 200 : 0);
        EXPECT_EQ(pixelAt(scene, shot + sf::Vector2f(0.f, 28.f)).g, easier ? 200 : 0);
    }
}

} // namespace
} // namespace testing
} // namespace vrk
