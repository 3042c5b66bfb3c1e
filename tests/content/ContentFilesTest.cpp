// Every picture, sound, music and font the game loads, at the paths of its tables, with the
// cell layout the game cuts them by.

#include "ContentFixture.hpp"

#include "credits/Credit.hpp"
#include "shell/Resources.hpp"
#include "title/Title.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Graphics/Font.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

using namespace content;

namespace {

std::string withoutDotSlash(const std::string& path)
{
    return path.rfind("./", 0) == 0 ? path.substr(2) : path;
}

bool opaqueRow(const sf::Image& image, int y, int from, int to)
{
    for (int x = from; x < to; ++x)
        if (image.getPixel(unsigned(x), unsigned(y)).a < 250)
            return false;
    return true;
}

bool transparentColumns(const sf::Image& image, int from)
{
    for (unsigned y = 0; y < image.getSize().y; ++y)
        for (unsigned x = unsigned(from); x < image.getSize().x; ++x)
            if (image.getPixel(x, y).a != 0)
                return false;
    return true;
}

struct Sound {
    bool ok = false;
    double seconds = 0;
    unsigned channels = 0;
    std::vector<sf::Int16> samples;
};

Sound readSound(const std::string& relative)
{
    Sound sound;
    sf::InputSoundFile file;
    if (!file.openFromFile(runPath(relative)))
        return sound;
    sound.ok = true;
    sound.seconds = file.getDuration().asSeconds();
    sound.channels = file.getChannelCount();
    sound.samples.resize(size_t(file.getSampleCount()));
    sound.samples.resize(size_t(file.read(sound.samples.data(), sound.samples.size())));
    return sound;
}

int peak(const Sound& sound)
{
    int p = 0;
    for (sf::Int16 s : sound.samples)
        p = std::max(p, std::abs(int(s)));
    return p;
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

// ---- pictures ------------------------------------------------------------------------------

TEST(ContentImages, CursorsAreStripsOfCellsCentredOnTheHotSpot)
{
    for (int i = 0; i < vrk::CursorCount; ++i) {
        sf::Image image;
        ASSERT_TRUE(loadImage(vrk::cursorPaths[i], image)) << vrk::cursorPaths[i];
        EXPECT_EQ(image.getSize().y, unsigned(vrk::CursorCell)) << vrk::cursorPaths[i];
        EXPECT_GE(image.getSize().x, unsigned(vrk::CursorCell)) << vrk::cursorPaths[i];
        EXPECT_EQ(image.getSize().x % vrk::CursorCell, 0u) << vrk::cursorPaths[i];
        // The hot spot is the cell's centre: the picture must mark it.
        EXPECT_TRUE(hasInk(image, 40, 40, 20, 20)) << vrk::cursorPaths[i];
        // Nothing touches the cell's edge, where a cursor would look cut.
        EXPECT_FALSE(hasInk(image, 0, 0, vrk::CursorCell, 1)) << vrk::cursorPaths[i];
    }
}

// The map tool's view of the first level: the scene's shape, a JPEG, and the level's floor in it
// rather than the dark beyond the map.
TEST(ContentImages, TheTitlesViewIsTheFirstLevelInTheScenesShape)
{
    sf::Image view;
    ASSERT_TRUE(loadImage(vrk::Title::viewPath, view));
    EXPECT_EQ(view.getSize().x * 9, view.getSize().y * 16);
    EXPECT_EQ(fileBytes(runPath(vrk::Title::viewPath)).substr(0, 3), "\xFF\xD8\xFF") << "a JPEG file";
    double light = 0.0;
    for (unsigned y = 0; y < view.getSize().y; y += 4)
        for (unsigned x = 0; x < view.getSize().x; x += 4) {
            const sf::Color c = view.getPixel(x, y);
            light += (c.r + c.g + c.b) / 3.0 > 60.0;
        }
    EXPECT_GT(light / (view.getSize().x / 4 * (view.getSize().y / 4)), 0.5);
}

TEST(ContentImages, LoadingScreenFillsTheSceneWithTheDancerOnTheBar)
{
    sf::Image background, dancer, bar;
    ASSERT_TRUE(loadImage(vrk::loadingPaths[0], background));
    ASSERT_TRUE(loadImage(vrk::loadingPaths[1], dancer));
    ASSERT_TRUE(loadImage(vrk::loadingPaths[2], bar));
    EXPECT_EQ(background.getSize(), sf::Vector2u(1920, 1080));
    EXPECT_EQ(fileBytes(runPath(vrk::loadingPaths[0])).substr(0, 3), "\xFF\xD8\xFF") << "a JPEG file";
    EXPECT_TRUE(opaqueRow(background, 0, 0, 1920) && opaqueRow(background, 1079, 0, 1920));
    EXPECT_EQ(dancer.getSize(), sf::Vector2u(vrk::DancerCells * vrk::DancerCell, vrk::DancerCell));
    for (int cell = 0; cell < vrk::DancerCells; ++cell)
        EXPECT_TRUE(hasInk(dancer, cell * vrk::DancerCell, 0, vrk::DancerCell, vrk::DancerCell))
            << "dancer cell " << cell;
    EXPECT_EQ(bar.getSize().x, 1920u) << "the bar spans the scene when loading is done";
    EXPECT_LE(bar.getSize().y + dancer.getSize().y, 1080u);
}

// The game loads a layer's sheet by its place in its table, the map tool by the map format's name.
TEST(ContentImages, TileSheetsAreTenTilesWideAndWhereTheMapFormatNamesThem)
{
    for (int i = 0; i < vrk::LayerCount; ++i) {
        EXPECT_EQ(vrk::texturePaths[i], "res/" + std::string(vrk::LayerSheets[i]) + ".png");
        sf::Image sheet;
        ASSERT_TRUE(loadImage(vrk::texturePaths[i], sheet)) << vrk::texturePaths[i];
        EXPECT_EQ(sheet.getSize().x, unsigned(vrk::TileSheetColumns * Tile)) << vrk::texturePaths[i];
        EXPECT_GT(sheet.getSize().y, 0u) << vrk::texturePaths[i];
        EXPECT_EQ(sheet.getSize().y % Tile, 0u) << vrk::texturePaths[i];
    }
    // The editor sheets give a symbol to each code the maps use: events 2, 3, 12, 13 and the
    // hunters 902..905 (stored as 2..5).
    sf::Image events, monsters;
    ASSERT_TRUE(loadImage(vrk::texturePaths[4], events));
    ASSERT_TRUE(loadImage(vrk::texturePaths[5], monsters));
    for (int event : {vrk::DoorPanelEvent, vrk::BooksEvent, vrk::VictoryTextEvent, vrk::RemoteDoorPanelEvent})
        EXPECT_TRUE(hasInk(events, ((event - 1) % 10) * Tile, ((event - 1) / 10) * Tile, Tile, Tile)) << event;
    for (int kind = 2; kind <= 5; ++kind)
        EXPECT_TRUE(hasInk(monsters, (kind - 1) * Tile, 0, Tile, Tile)) << kind;
}

TEST(ContentImages, PlayerSheetHasBodyLegsCorpseAndBlade)
{
    sf::Image sheet;
    ASSERT_TRUE(loadImage("res/maverick.png", sheet));
    ASSERT_GE(sheet.getSize().x, 1080u);
    ASSERT_GE(sheet.getSize().y, 240u);
    EXPECT_TRUE(hasInk(sheet, 0, 0, Tile, Tile)) << "body";
    for (int f = 1; f < 16; ++f)
        if (f != 8) { // 0 and 8 are standing poses; the legs are not drawn for them
            EXPECT_TRUE(hasInk(sheet, (f % 8) * Tile, (f / 8) * Tile, Tile, Tile)) << "legs frame " << f;
        }
    EXPECT_TRUE(hasInk(sheet, 960, 0, Tile, Tile)) << "corpse";
    // The swing turns about (90, 60) of the attack cell: the blade runs from there to the left.
    for (int x = 960 + 20; x <= 960 + 85; x += 5)
        EXPECT_GT(sheet.getPixel(unsigned(x), 180).a, 200) << "blade at x " << x - 960;
    EXPECT_TRUE(hasInk(sheet, 960, 120, 90, 120));
}

TEST(ContentImages, HunterSheetHasBodyOverlayFramesAndCorpse)
{
    sf::Image sheet;
    ASSERT_TRUE(loadImage("res/hunter.png", sheet));
    ASSERT_GE(sheet.getSize().x, 480u);
    ASSERT_GE(sheet.getSize().y, 240u);
    for (int f = 0; f < 6; ++f)
        EXPECT_TRUE(hasInk(sheet, (f % 3) * Tile, (f / 3) * Tile, Tile, Tile)) << "frame " << f;
    EXPECT_TRUE(hasInk(sheet, 360, 0, Tile, Tile)) << "corpse";
}

TEST(ContentImages, SparkBulletAndPortraits)
{
    sf::Image spark, shot;
    ASSERT_TRUE(loadImage("res/lightning.png", spark));
    ASSERT_GE(spark.getSize().x, 360u);
    ASSERT_GE(spark.getSize().y, 120u);
    for (int r = 0; r < 3; ++r)
        EXPECT_TRUE(hasInk(spark, r * Tile, 0, Tile, Tile)) << "spark frame " << r;
    ASSERT_TRUE(loadImage("res/shot.png", shot));
    // The first rules' shot turns about (7.5, 7.5); the readable one beside it is larger, its
    // trail behind it (toward -x).
    EXPECT_EQ(shot.getSize(), sf::Vector2u(15 + 48, 24));
    EXPECT_GT(shot.getPixel(7, 7).a, 200);
    EXPECT_GT(shot.getPixel(15 + 36, 12).a, 200);
    EXPECT_GT(shot.getPixel(15 + 36 + 8, 12).a, 40) << "larger than the first";
    EXPECT_GT(shot.getPixel(15 + 24, 12).a, 50) << "the trail";
    for (int i = 11; i <= 13; ++i) {
        sf::Image face;
        ASSERT_TRUE(loadImage(vrk::texturePaths[i], face)) << vrk::texturePaths[i];
        // Drawn at the top-left corner: it must leave the dialogue box (from y 854) free.
        EXPECT_GE(face.getSize().x, 100u);
        EXPECT_LE(face.getSize().y, 854u) << vrk::texturePaths[i];
        EXPECT_TRUE(hasInk(face, 0, 0, int(face.getSize().x), int(face.getSize().y)));
    }
}

// The game shows the sub-rectangle (max - value, 0, width + max - value, height): the visible
// filled length equals the value only if the picture is filled up to column max and
// transparent from there on (the edge column repeats beyond the picture).
TEST(ContentImages, BarsShowTheirValueAsFilledLength)
{
    sf::Image life, run;
    ASSERT_TRUE(loadImage("res/lifebar.png", life));
    ASSERT_TRUE(loadImage("res/runbar.png", run));
    EXPECT_EQ(life.getSize().y, 93u);
    EXPECT_EQ(run.getSize().y, 64u);
    ASSERT_GT(life.getSize().x, 400u);
    ASSERT_GT(run.getSize().x, 130u);
    EXPECT_TRUE(opaqueRow(life, 93 / 2, 0, 400)) << "life bar filled up to 400";
    EXPECT_TRUE(transparentColumns(life, 400)) << "life bar empty after 400";
    EXPECT_TRUE(opaqueRow(run, 64 / 2, 0, 130)) << "run bar filled up to 130";
    EXPECT_TRUE(transparentColumns(run, 130)) << "run bar empty after 130";
}

TEST(ContentImages, CreditsFitTheScene)
{
    sf::Image bunny, rope, title;
    ASSERT_TRUE(loadImage(withoutDotSlash(vrk::Credit::imagePaths[0]), bunny));
    ASSERT_TRUE(loadImage(withoutDotSlash(vrk::Credit::imagePaths[1]), rope));
    ASSERT_TRUE(loadImage(withoutDotSlash(vrk::Credit::imagePaths[2]), title));
    EXPECT_LE(rope.getSize().x, 64u) << "the rope is stamped once per row";
    EXPECT_TRUE(hasInk(rope, 0, 0, int(rope.getSize().x), int(rope.getSize().y)));
    EXPECT_LE(title.getSize().x, 1920u);
    // When the bunny rests at y 216 the title hangs 1.1 bunny heights below its top.
    const double titleBottom = 216 + bunny.getSize().y * 1.1 + title.getSize().y;
    EXPECT_LE(titleBottom, 1080.0) << "title below the bunny must stay on screen";
    // The rope ends 30% down the bunny: the picture must tie it there.
    const int grip = int(bunny.getSize().y * 0.3);
    EXPECT_TRUE(hasInk(bunny, int(bunny.getSize().x) / 2 - 10, grip - 10, 20, 20));
}

// ---- sounds, music, fonts ------------------------------------------------------------------

TEST(ContentSounds, EffectsAreShortAndAudible)
{
    for (int i = 0; i < vrk::SoundCount; ++i) {
        const Sound sound = readSound(vrk::soundPaths[i]);
        ASSERT_TRUE(sound.ok) << vrk::soundPaths[i];
        EXPECT_GT(sound.seconds, 0.05) << vrk::soundPaths[i];
        EXPECT_LT(sound.seconds, 3.0) << vrk::soundPaths[i];
        EXPECT_GT(peak(sound), 8000) << vrk::soundPaths[i];
    }
}

TEST(ContentSounds, MusicLoopsAtLeastThirtySecondsWithoutAClick)
{
    for (int i = 0; i < vrk::MusicCount; ++i) {
        const Sound music = readSound(vrk::musicPaths[i]);
        ASSERT_TRUE(music.ok) << vrk::musicPaths[i];
        EXPECT_GE(music.seconds, 30.0) << vrk::musicPaths[i];
        ASSERT_EQ(music.channels, 1u);
        ASSERT_GT(music.samples.size(), 1000u);
        EXPECT_GT(peak(music), 8000) << vrk::musicPaths[i];
        // Looping jumps from the last sample to the first: that step must be no larger than
        // the steps the music takes anyway, or it clicks.
        std::vector<int> steps;
        for (size_t k = 1; k < music.samples.size(); ++k)
            steps.push_back(std::abs(int(music.samples[k]) - int(music.samples[k - 1])));
        std::sort(steps.begin(), steps.end());
        const int usual = steps[steps.size() * 999 / 1000];
        const int seam = std::abs(int(music.samples.front()) - int(music.samples.back()));
        EXPECT_LE(seam, usual) << vrk::musicPaths[i] << ": loop seam " << seam << ", 99.9% of steps below " << usual;
    }
}

TEST(ContentSounds, JingleLastsAboutAsLongAsTheCredits)
{
    const Sound jingle = readSound(withoutDotSlash(vrk::Credit::jinglePath));
    ASSERT_TRUE(jingle.ok);
    EXPECT_GT(jingle.seconds, 3.0);
    EXPECT_LT(jingle.seconds, 12.0);
    EXPECT_GT(peak(jingle), 8000);
}

TEST(ContentFonts, BothFontsLoadAndTheirLicenceIsBesideThem)
{
    for (int i = 0; i < vrk::FontCount; ++i) {
        sf::Font font;
        EXPECT_TRUE(font.loadFromFile(runPath(vrk::fontPaths[i]))) << vrk::fontPaths[i];
    }
    const std::string licence = fileBytes(runPath("res/fonts-LICENSE.txt"));
    EXPECT_NE(licence.find("Bitstream"), std::string::npos);
}

// ---- the build is repeatable ---------------------------------------------------------------

TEST(ContentGeneration, SameSourcesGiveTheSameFiles)
{
    const std::string generator = std::string(VELMORA_BINARY_DIR) + "/tools/assetgen/velmora_assetgen";
    const std::string source = VELMORA_SOURCE_DIR;
    const std::string scratch = std::string(VELMORA_BINARY_DIR) + "/content-check";
    std::string errors;
    ASSERT_EQ(runCommand(generator + " image " + source + "/content/art/palette.txt chipset0.png " + scratch +
                             "/chipset0.png",
                         errors),
              0)
        << errors;
    EXPECT_EQ(fileBytes(scratch + "/chipset0.png"), fileBytes(runPath("res/chipset0.png")));
    ASSERT_EQ(runCommand(generator + " music " + source + "/content/music/instruments.txt " + source +
                             "/content/music/jingle.score " + scratch + "/jingle.ogg",
                         errors),
              0)
        << errors;
    EXPECT_EQ(fileBytes(scratch + "/jingle.ogg"), fileBytes(runPath("res/credit/jingle.ogg")));
}
