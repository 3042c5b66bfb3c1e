// The map tool, run as the build runs it: a source becomes layers of document codes that the
// data library reads back; a malformed source stops it with file, line and column.

#include "ContentFixture.hpp"

#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tavric/text/Documents.hpp"

using namespace content;

namespace {

class MapTool : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(dir); }

    std::string write(const std::string& name, const std::string& text)
    {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Runs the tool on one source; the message it printed lands in errors.
    int compile(const std::string& source, const std::string& extra = "")
    {
        return runCommand(tool + " --out " + dir + "/config.tvr " + extra + " " + source, errors);
    }

    const std::string tool = std::string(VELMORA_BINARY_DIR) + "/tools/mapc/velmora_mapc";
    // A folder per test, since CTest runs them in parallel processes.
    const std::string dir = std::string(VELMORA_BINARY_DIR) + "/content-check/maps/" +
                            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string errors;
};

const char* const grids = "map Small\n"
                          "grid plan: ground walls objects events\n"
                          "legend\n"
                          "# a comment inside the legend\n"
                          "'#' ground=wall walls=wall\n"
                          "'.' ground=0\n"
                          "'|' ground=34 walls=door\n"
                          "'P' ground=wall walls=wall objects=0 events=2   # panel\n"
                          "rows\n"
                          "#####\n"
                          "#.|.#\n"
                          "##P##\n"
                          "end\n"
                          "grid above: ceiling monster\n"
                          "legend\n"
                          "'.'\n"
                          "'h' monster=hunterSquare ceiling=3\n"
                          "rows\n"
                          ".....\n"
                          ".h...\n"
                          ".....\n"
                          "end\n";

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

} // namespace

TEST_F(MapTool, WritesLayersOfDocumentCodesThatTheDataLibraryReads)
{
    const std::string source = write("small.map", grids);
    const std::string text = write("Xx.tvr", "[Xx\n  Hello = \"Été\"\n]\n");
    ASSERT_EQ(compile(source, "--text " + text), 0) << errors;
    zul::NameDictionary dictionary;
    zul::Tavric document(&dictionary);
    ASSERT_TRUE(zul::load(document, dir + "/config.tvr"));
    EXPECT_EQ(document["Language"]["Xx"]["Hello"].getString(), "Été");
    const zul::Tavric& map = document["Maps"]["Small"];
    EXPECT_EQ(map["Width"].getInt(), 5);
    EXPECT_EQ(map["Height"].getInt(), 3);
    auto cell = [&](const char* layer, int x, int y) {
        return map["Layers"][layer].getCollection()->elementAt(size_t(y * 5 + x))->getInt();
    };
    // Walls take the tile (10 + mask of wall or door neighbours: N 1, E 2, S 4, W 8) + 1; the
    // outside of the map counts as wall.
    EXPECT_EQ(cell("L0", 0, 0), 10 + (1 + 2 + 4 + 8) + 1);
    EXPECT_EQ(cell("L0", 1, 2), 10 + (2 + 4 + 8) + 1) << "a wall with floor above it";
    EXPECT_EQ(cell("L0", 2, 2), 10 + (1 + 2 + 4 + 8) + 1) << "the panel joins the door above it";
    EXPECT_EQ(cell("L0", 2, 0), 10 + (1 + 2 + 4 + 8) + 1) << "joins the door below it";
    EXPECT_EQ(cell("L0", 1, 1), 1);
    EXPECT_EQ(cell("L0", 2, 1), 35);
    EXPECT_EQ(cell("L1", 2, 2), 181) << "object tile 0 of layer 1";
    EXPECT_EQ(cell("L1", 1, 1), 0);
    EXPECT_EQ(cell("L2", 1, 1), 364) << "ceiling tile 3 of layer 2";
    EXPECT_EQ(cell("L3", 0, 0), 542);
    EXPECT_EQ(cell("L3", 2, 1), 543);
    EXPECT_EQ(cell("L3", 1, 1), 0);
    EXPECT_EQ(cell("L4", 2, 2), 722);
    EXPECT_EQ(cell("L5", 1, 1), 905);
}

TEST_F(MapTool, AStartCellGoesIntoTheMapAndNoneIsWrittenWithoutIt)
{
    // Anywhere outside the grids, an open door included (it lets the player through).
    const std::string given = write("start.map", replaced(replaced(grids, "grid above", "start 3 1\ngrid above"),
                                                          "'|' ground=34 walls=door", "'|' ground=37 walls=open"));
    const std::string none = write("none.map", replaced(grids, "map Small", "map Other"));
    ASSERT_EQ(compile(given + " " + none), 0) << errors;
    zul::NameDictionary dictionary;
    zul::Tavric document(&dictionary);
    ASSERT_TRUE(zul::load(document, dir + "/config.tvr"));
    const zul::Tavric& start = document["Maps"]["Small"]["Start"];
    EXPECT_EQ(start["Column"].getType(), zul::TypeInt);
    EXPECT_EQ(start["Column"].getInt(), 3);
    EXPECT_EQ(start["Row"].getInt(), 1);
    EXPECT_FALSE(document["Maps"]["Other"].exists("Start"));
    const std::string onDoor = write("door.map", replaced(grids, "grid above", "start 2 1\ngrid above"));
    EXPECT_EQ(compile(onDoor), 1);
    EXPECT_EQ(errors, onDoor + ":14:1: start (2, 1) is on a closed door; the player starts on a free cell\n");
}

TEST_F(MapTool, ChoicesArePickedTheSameWayOnEveryRun)
{
    const std::string source = write("choices.map", replaced(grids, "'.' ground=0\n", "'.' ground=0/1/2/3\n"));
    ASSERT_EQ(compile(source), 0) << errors;
    std::ifstream first(dir + "/config.tvr");
    const std::string once((std::istreambuf_iterator<char>(first)), std::istreambuf_iterator<char>());
    ASSERT_EQ(compile(source), 0) << errors;
    std::ifstream second(dir + "/config.tvr");
    const std::string twice((std::istreambuf_iterator<char>(second)), std::istreambuf_iterator<char>());
    EXPECT_EQ(once, twice);
}

TEST_F(MapTool, WindowsHaveTheirOwnCodeAndWallsJoinThem)
{
    const std::string withWindow =
        replaced(replaced(grids, "'.' ground=0\n", "'.' ground=0\n'W' ground=4 walls=window\n"), "#.|.#\n", "#.|W#\n");
    ASSERT_EQ(compile(write("window.map", withWindow)), 0) << errors;
    zul::NameDictionary dictionary;
    zul::Tavric document(&dictionary);
    ASSERT_TRUE(zul::load(document, dir + "/config.tvr"));
    const zul::Tavric& layers = document["Maps"]["Small"]["Layers"];
    auto cell = [&](const char* layer, int x, int y) {
        return layers[layer].getCollection()->elementAt(size_t(y * 5 + x))->getInt();
    };
    EXPECT_EQ(cell("L3", 3, 1), 541);
    EXPECT_EQ(cell("L0", 3, 1), 5);
    // The wall east of the window joins it, as it would a door (N 1, E 2, S 4, W 8).
    EXPECT_EQ(cell("L0", 4, 1), 10 + (1 + 2 + 4 + 8) + 1);
}

TEST_F(MapTool, ReportsMalformedSourcesWithLineAndColumn)
{
    struct Case {
        const char* what;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"ragged row", replaced(grids, "#.|.#\n", "#.|.\n"), ":11:5: ragged row: 4 cells where the first row has 5"},
        {"unknown character", replaced(grids, "#.|.#\n", "#.|x#\n"),
         ":11:4: unknown character 'x' (not in this grid's legend)"},
        {"missing layer",
         replaced(replaced(grids, "grid above: ceiling monster", "grid above: ceiling"), "monster=hunterSquare ", ""),
         ":23:1: missing layer 'monster': no grid fills it"},
        {"layer filled twice", replaced(grids, "grid above: ceiling monster", "grid above: ceiling monster walls"),
         ":14:29: layer 'walls' is already filled by the grid of line 2"},
        {"bad wall value", replaced(grids, "'|' ground=34 walls=door", "'|' ground=34 walls=brick"),
         ":7:21: walls must be free, wall, door, open or window, not 'brick'"},
        {"tile out of range", replaced(grids, "'.' ground=0\n", "'.' ground=0/400\n"),
         ":6:14: expected a tile number 0..179, not '400'"},
        {"layer the grid does not fill",
         replaced(grids, "'h' monster=hunterSquare ceiling=3", "'h' monster=hunterSquare events=3"),
         ":17:26: this grid does not fill the layer 'events'"},
        {"unknown hunter", replaced(grids, "monster=hunterSquare", "monster=hunterX"),
         ":17:13: monster must be hunter, hunterH, hunterV or hunterSquare, not 'hunterX'"},
        {"grids of two sizes", replaced(grids, ".h...\n", ".h...\n.....\n"),
         ":14:1: this grid is 5 x 4, the grid of line 2 is 5 x 3"},
        {"no end", std::string(grids).substr(0, std::string(grids).size() - 4),
         ":21:1: the rows of the grid of line 14 have no 'end'"},
        {"no name", replaced(grids, "map Small\n", "\n"), ":23:1: the source has no 'map NAME' line"},
        // The start cell, checked once the grids are read, is reported on its own line.
        {"start off the map", std::string(grids) + "start 5 1\n",
         ":23:1: start (5, 1) is off the map, which has columns 0..4 and rows 0..2"},
        {"start below the map", std::string(grids) + "  start 1 3\n",
         ":23:3: start (1, 3) is off the map, which has columns 0..4 and rows 0..2"},
        {"start on a wall", std::string(grids) + "start 0 0\n",
         ":23:1: start (0, 0) is on a wall; the player starts on a free cell"},
        {"start on a panel", std::string(grids) + "start 2 2\n",
         ":23:1: start (2, 2) is on a wall; the player starts on a free cell"},
        {"start on a closed door", std::string(grids) + "start 2 1\n",
         ":23:1: start (2, 1) is on a closed door; the player starts on a free cell"},
        {"start given twice", "start 1 1\n" + std::string(grids) + "start 3 1\n",
         ":24:1: the start is already given (line 1)"},
        {"negative start", std::string(grids) + "start -1 1\n",
         ":23:1: expected 'start COLUMN ROW' with two whole numbers from 0"},
        {"start without a row", std::string(grids) + "start 1\n",
         ":23:1: expected 'start COLUMN ROW' with two whole numbers from 0"},
        {"start with more", std::string(grids) + "start 1 1 1\n",
         ":23:1: expected 'start COLUMN ROW' with two whole numbers from 0"},
    };
    for (const Case& c : cases) {
        const std::string source = write("bad.map", c.text);
        EXPECT_EQ(compile(source), 1) << c.what;
        EXPECT_EQ(errors, source + c.message + "\n") << c.what;
    }
}

TEST_F(MapTool, AFailedRunLeavesThePreviousDocumentAlone)
{
    const std::string good = write("good.map", grids);
    ASSERT_EQ(compile(good), 0) << errors;
    std::ifstream before(dir + "/config.tvr");
    const std::string kept((std::istreambuf_iterator<char>(before)), std::istreambuf_iterator<char>());
    const std::string bad = write("broken.map", replaced(grids, "#.|.#\n", "#.|.\n"));
    EXPECT_EQ(compile(bad), 1);
    std::ifstream after(dir + "/config.tvr");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), std::istreambuf_iterator<char>()), kept);
}

// The title's background: the part of the map round its start, at the size asked, the dark
// beyond the map where the view is larger; a malformed size is a usage error.
TEST_F(MapTool, AViewIsAsLargeAsAskedAndDarkBeyondTheMap)
{
    const std::string source = write("view.map", grids);
    const std::string sheets = std::string(VELMORA_RUN_DIR) + "/res";
    const std::string out = dir + "/view.png";
    // The map is 5 x 3 cells of 30 picture pixels.
    ASSERT_EQ(runCommand(tool + " --picture " + out + " --sheets " + sheets + " --view 200x120 " + source, errors), 0)
        << errors;
    sf::Image view;
    ASSERT_TRUE(view.loadFromFile(out));
    EXPECT_EQ(view.getSize(), sf::Vector2u(200, 120));
    EXPECT_EQ(view.getPixel(199, 119), sf::Color(10, 10, 14));
    EXPECT_NE(view.getPixel(15, 15), sf::Color(10, 10, 14)) << "the map's first cell";
    for (const char* bad : {"0x30", "60", "60x", "60x30x1", "x30", "99999x30"})
        EXPECT_EQ(runCommand(tool + " --picture " + out + " --sheets " + sheets + " --view " + bad + " " + source, errors),
                  2)
            << bad;
    EXPECT_EQ(runCommand(tool + " --out " + dir + "/config.tvr --view 60x30 " + source, errors), 2);
}
