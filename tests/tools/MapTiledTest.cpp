// The map tool and the Tiled editor from Debian, as an author uses them: the shipped map exported
// for Tiled, opened, converted and drawn by Tiled's own programs, and maps saved by Tiled read back
// into the same document as the character grids. Tiled runs without a display (offscreen).

#include "tavric/model/Tavric.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/wait.h>

#include "tavric/text/Documents.hpp"

namespace fs = std::filesystem;

namespace {

const std::string binaryDir = VELMORA_BINARY_DIR;
const std::string sourceDir = VELMORA_SOURCE_DIR;
const std::string mapTool = binaryDir + "/tools/mapc/velmora_mapc";
const std::string fixtures = sourceDir + "/tests/tools/tiled";
const std::string exported = binaryDir + "/content/tiled";

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    if (at == std::string::npos)
        ADD_FAILURE() << "'" << from << "' is not in the text";
    else
        text.replace(at, from.size(), to);
    return text;
}

class Tiled : public ::testing::Test {
protected:
    // A folder per test: CTest runs the tests of this file in parallel processes.
    void SetUp() override
    {
        dir = binaryDir + "/tiled-check/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
    }

    // Runs a command line; its standard error lands in errors.
    int run(const std::string& command)
    {
        const int status = std::system((command + " >" + dir + "/stdout.txt 2>" + dir + "/stderr.txt").c_str());
        errors = readFile(dir + "/stderr.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int tiled(const std::string& program, const std::string& arguments)
    {
        return run("QT_QPA_PLATFORM=offscreen " + program + " " + arguments);
    }
    // The configuration document the map tool writes for these sources and texts.
    int compile(const std::string& sources, const std::string& out, const std::string& texts = "")
    {
        return run(mapTool + " --out " + out + " " + texts + " " + sources);
    }

    std::string dir;
    std::string errors;
};

// The texts the build gives the map tool, so that its document can be compared whole.
std::string buildTexts()
{
    return "--text " + sourceDir + "/content/text/En.tvr --text " + sourceDir + "/content/text/Fr.tvr";
}

} // namespace

// ---- the shipped map through Tiled ---------------------------------------------------------------

// Every shipped map, the later ones with their start cells as the map properties StartColumn and
// StartRow.
TEST_F(Tiled, ShippedMapsComeBackFromTiledsJsonAndTmxAsTheSameDocument)
{
    const std::string built = readFile(binaryDir + "/run/lev/config.tvr");
    ASSERT_FALSE(built.empty());
    ASSERT_NE(readFile(exported + "/map1.tmx").find("<property name=\"StartColumn\" type=\"int\""), std::string::npos);
    std::vector<std::string> stems;
    for (const auto& entry : std::filesystem::directory_iterator(sourceDir + "/content/maps"))
        stems.push_back(entry.path().stem().string());
    std::sort(stems.begin(), stems.end());
    ASSERT_GE(stems.size(), 3u);
    std::string fromJson, fromTmx;
    for (const std::string& stem : stems) {
        const std::string source = exported + "/" + stem + ".tmx", saved = dir + "/" + stem;
        ASSERT_EQ(tiled("tiled", "--export-map json " + source + " " + saved + ".json"), 0) << errors;
        // Saved again by Tiled as TMX (its own writer, its own paths to the tilesets): what the
        // build takes when an author saves the map into content/maps.
        ASSERT_EQ(tiled("tiled", "--export-map tmx " + source + " " + saved + ".tmx"), 0) << errors;
        fromJson += " " + saved + ".json";
        fromTmx += " " + saved + ".tmx";
    }
    ASSERT_EQ(compile(fromJson, dir + "/from-json.tvr", buildTexts()), 0) << errors;
    EXPECT_EQ(readFile(dir + "/from-json.tvr"), built);
    ASSERT_EQ(compile(fromTmx, dir + "/from-tmx.tvr", buildTexts()), 0) << errors;
    EXPECT_EQ(readFile(dir + "/from-tmx.tvr"), built);
}

TEST_F(Tiled, ExportedTilesetsPointAtTheBuiltSheets)
{
    const char* const sheets[] = {"chipset0",    "chipset0_obj",  "chipset0_ceiling",
                                  "wall_or_not", "chipset_event", "monster_chipset"};
    for (const char* sheet : sheets) {
        const std::string text = readFile(exported + "/" + sheet + ".tsx");
        const size_t from = text.find("<image source=\"");
        ASSERT_NE(from, std::string::npos) << sheet;
        const size_t start = from + 15, end = text.find('"', start);
        const fs::path image = fs::path(exported) / text.substr(start, end - start);
        EXPECT_TRUE(fs::equivalent(image, fs::path(binaryDir) / "run/res" / (std::string(sheet) + ".png"))) << image;
        sf::Image picture;
        ASSERT_TRUE(picture.loadFromFile(image.string()));
        EXPECT_NE(text.find("width=\"" + std::to_string(picture.getSize().x) + "\" height=\"" +
                            std::to_string(picture.getSize().y) + "\""),
                  std::string::npos)
            << sheet;
    }
}

// tmxrasterizer draws the exported map at full size; reduced by averaging each 4 x 4 block it must
// match the map picture that the map tool draws at a quarter size. The picture also marks hunters
// (half a cell up and left of their cell) and the start cell, which the comparison leaves out; the
// ceiling and events are drawn equally translucent by both, since the export sets their opacity.
TEST_F(Tiled, TmxrasterizerDrawsMap0AsTheMapPictureDoes)
{
    ASSERT_EQ(tiled("tmxrasterizer",
                    "--hide-layer walls --hide-layer monster " + exported + "/map0.tmx " + dir + "/map0.png"),
              0)
        << errors;
    sf::Image full, picture;
    ASSERT_TRUE(full.loadFromFile(dir + "/map0.png"));
    ASSERT_TRUE(picture.loadFromFile(binaryDir + "/content/map0.png"));
    const int cell = 30, scale = 4;
    ASSERT_EQ(full.getSize().x, picture.getSize().x * scale);
    ASSERT_EQ(full.getSize().y, picture.getSize().y * scale);
    const int width = int(picture.getSize().x), height = int(picture.getSize().y);

    std::vector<char> skip(size_t(width * height), 0);
    auto leaveOut = [&](int left, int top, int size) {
        for (int y = std::max(0, top); y < std::min(height, top + size); ++y)
            for (int x = std::max(0, left); x < std::min(width, left + size); ++x)
                skip[size_t(y * width + x)] = 1;
    };
    zul::NameDictionary dictionary;
    zul::Tavric document(&dictionary);
    ASSERT_TRUE(zul::load(document, binaryDir + "/run/lev/config.tvr"));
    const zul::Tavric& map = document["Maps"]["Map0"];
    const int columns = int(map["Width"].getInt()), rows = int(map["Height"].getInt());
    ASSERT_EQ(columns * cell, width);
    int hunters = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const long long code = map["Layers"]["L5"].getCollection()->elementAt(size_t(y * columns + x))->getInt();
            if (code >= 902 && code <= 905) {
                leaveOut(x * cell - cell / 2, y * cell - cell / 2, cell);
                ++hunters;
            }
        }
    EXPECT_GT(hunters, 0);
    leaveOut(51 * cell, 37 * cell, cell); // the start cell's ring

    // Colour differences, each the largest over the three channels, of the compared pixels.
    const sf::Color background(10, 10, 14);
    std::vector<int> histogram(256, 0);
    long compared = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (skip[size_t(y * width + x)])
                continue;
            float sum[3] = {0, 0, 0};
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx) {
                    const sf::Color c = full.getPixel(unsigned(x * scale + dx), unsigned(y * scale + dy));
                    const float a = c.a / 255.0f;
                    sum[0] += c.r * a + background.r * (1 - a);
                    sum[1] += c.g * a + background.g * (1 - a);
                    sum[2] += c.b * a + background.b * (1 - a);
                }
            const sf::Color p = picture.getPixel(unsigned(x), unsigned(y));
            const int d =
                std::max({std::abs(int(std::lround(sum[0] / 16)) - p.r), std::abs(int(std::lround(sum[1] / 16)) - p.g),
                          std::abs(int(std::lround(sum[2] / 16)) - p.b)});
            ++histogram[size_t(d)];
            ++compared;
        }
    long within2 = 0, beyond8 = 0;
    int largest = 0;
    for (int d = 0; d < 256; ++d) {
        if (d <= 2)
            within2 += histogram[size_t(d)];
        if (d > 8)
            beyond8 += histogram[size_t(d)];
        if (histogram[size_t(d)] > 0)
            largest = d;
    }
    std::cout << "compared " << compared << " pixels: " << within2 << " within 2 levels, " << beyond8
              << " beyond 8, largest difference " << largest << "\n";
    EXPECT_GT(compared, long(width) * height * 9 / 10);
    EXPECT_GE(within2, compared * 99 / 100);
    EXPECT_LE(beyond8, compared / 1000);
}

// ---- maps saved by Tiled --------------------------------------------------------------------------

// room.map as a character grid, and the same room saved by Tiled after an edit that put the walls'
// tileset second and embedded it: base64 with zlib (TMX), with gzip (JSON) and uncompressed.
TEST_F(Tiled, RoomsSavedByTiledReadAsTheGrid)
{
    ASSERT_EQ(compile(fixtures + "/room.map", dir + "/grid.tvr"), 0) << errors;
    const std::string grid = readFile(dir + "/grid.tvr");
    ASSERT_NE(grid.find("[Room"), std::string::npos);
    for (const char* saved : {"room.tmx", "room-gzip.tmj", "room-base64.tmx"}) {
        ASSERT_EQ(compile(fixtures + "/" + saved, dir + "/saved.tvr"), 0) << saved << ": " << errors;
        EXPECT_EQ(errors, "") << saved;
        EXPECT_EQ(readFile(dir + "/saved.tvr"), grid) << saved;
    }
    EXPECT_NE(readFile(fixtures + "/room.tmx").find("compression=\"zlib\""), std::string::npos);
}

namespace {

// A 3 x 2 map as Tiled writes it, with a tileset that is not the game's and tilesets found by their
// file names wherever they lie.
const char* const smallTmx =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" width="3" height="2" tilewidth="120" tileheight="120" infinite="0" nextlayerid="7" nextobjectid="1">
 <tileset firstgid="1" source="../somewhere/chipset0.tsx"/>
 <tileset firstgid="181" source="chipset0_obj.tsx"/>
 <tileset firstgid="541" source="wall_or_not.tsx"/>
 <tileset firstgid="1000" source="grass.tsx"/>
 <layer id="1" name="ground" width="3" height="2">
  <data encoding="csv">
1,2,3,
4,5,6
</data>
 </layer>
 <layer id="2" name="objects" width="3" height="2"><data encoding="csv">0,0,0,0,182,0</data></layer>
 <layer id="3" name="ceiling" width="3" height="2"><data encoding="csv">0,0,0,0,0,0</data></layer>
 <layer id="4" name="walls" width="3" height="2"><data encoding="csv">542,0,0,0,0,543</data></layer>
 <layer id="5" name="events" width="3" height="2"><data encoding="csv">0,0,0,0,0,0</data></layer>
 <layer id="6" name="monster" width="3" height="2"><data encoding="csv">0,0,0,0,0,0</data></layer>
</map>
)";

const char* const smallJson = R"({ "type":"map", "orientation":"orthogonal", "width":1, "height":1,
 "tilewidth":120, "tileheight":120, "infinite":false,
 "properties":[{"name":"name", "type":"string", "value":"Tiny"}],
 "tilesets":[{"firstgid":1, "source":"chipset0.tsx"},
             {"firstgid":50, "image":"../run/res/monster_chipset.png", "tilewidth":120, "tileheight":120}],
 "layers":[
  {"type":"tilelayer", "name":"ground", "width":1, "height":1, "data":[3]},
  {"type":"tilelayer", "name":"objects", "width":1, "height":1, "data":[0]},
  {"type":"tilelayer", "name":"ceiling", "width":1, "height":1, "data":[0]},
  {"type":"tilelayer", "name":"walls", "width":1, "height":1, "data":[0]},
  {"type":"tilelayer", "name":"events", "width":1, "height":1, "data":[0]},
  {"type":"tilelayer", "name":"monster", "width":1, "height":1, "data":[51]}]}
)";

} // namespace

TEST_F(Tiled, SmallMapsGiveTheirCodesAndAreNamedByPropertyOrFile)
{
    const std::string tmx = dir + "/small.tmx", json = dir + "/tiny.tmj";
    writeFile(tmx, smallTmx);
    writeFile(json, smallJson);
    ASSERT_EQ(compile(tmx + " " + json, dir + "/config.tvr"), 0) << errors;
    zul::NameDictionary dictionary;
    zul::Tavric document(&dictionary);
    ASSERT_TRUE(zul::load(document, dir + "/config.tvr"));
    auto codes = [&](const char* map, const char* layer) {
        std::vector<long long> values;
        const zul::Tavric& field = document["Maps"][map]["Layers"][layer];
        for (size_t i = 0; field.getCollection() && field.getCollection()->elementAt(i); ++i)
            values.push_back(field.getCollection()->elementAt(i)->getInt());
        return values;
    };
    EXPECT_EQ(codes("small", "L0"), (std::vector<long long>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(codes("small", "L1"), (std::vector<long long>{0, 0, 0, 0, 182, 0}));
    EXPECT_EQ(codes("small", "L3"), (std::vector<long long>{542, 0, 0, 0, 0, 543}));
    EXPECT_EQ(codes("Tiny", "L0"), (std::vector<long long>{3}));
    EXPECT_EQ(codes("Tiny", "L5"), (std::vector<long long>{902})) << "tile 1 of the embedded monster sheet";

    // The oldest TMX form, one element per tile, and Tiled's uncompressed base64, read alike.
    std::string listed = replaced(smallTmx, "<data encoding=\"csv\">0,0,0,0,182,0</data>",
                                  "<data><tile/><tile/><tile/><tile/><tile gid=\"182\"/><tile/></data>");
    listed = replaced(listed, "<data encoding=\"csv\">542,0,0,0,0,543</data>",
                      "<data encoding=\"base64\">HgIAAAAAAAAAAAAAAAAAAAAAAAAfAgAA</data>");
    writeFile(dir + "/listed.tmx", listed);
    ASSERT_EQ(compile(dir + "/listed.tmx", dir + "/listed.tvr"), 0) << errors;
    ASSERT_EQ(compile(tmx, dir + "/small.tvr"), 0) << errors;
    EXPECT_EQ(replaced(readFile(dir + "/listed.tvr"), "[listed", "[small"), readFile(dir + "/small.tvr"));
}

TEST_F(Tiled, TheStartCellComesFromTheMapsProperties)
{
    const std::string tmx = dir + "/small.tmx", json = dir + "/tiny.tmj";
    writeFile(tmx, replaced(smallTmx, " <tileset firstgid=\"1\"",
                            " <properties>\n  <property name=\"StartColumn\" type=\"int\" value=\"1\"/>\n"
                            "  <property name=\"StartRow\" type=\"int\" value=\"1\"/>\n </properties>\n"
                            " <tileset firstgid=\"1\""));
    writeFile(json, replaced(smallJson, "\"value\":\"Tiny\"}",
                             "\"value\":\"Tiny\"}, {\"name\":\"StartColumn\", \"type\":\"int\", \"value\":0},"
                             " {\"name\":\"StartRow\", \"type\":\"int\", \"value\":0}"));
    ASSERT_EQ(compile(tmx + " " + json, dir + "/config.tvr"), 0) << errors;
    zul::NameDictionary dictionary;
    zul::Tavric document(&dictionary);
    ASSERT_TRUE(zul::load(document, dir + "/config.tvr"));
    EXPECT_EQ(document["Maps"]["small"]["Start"]["Column"].getInt(), 1);
    EXPECT_EQ(document["Maps"]["small"]["Start"]["Row"].getInt(), 1);
    EXPECT_EQ(document["Maps"]["Tiny"]["Start"]["Column"].getInt(), 0);
    EXPECT_EQ(document["Maps"]["Tiny"]["Start"]["Row"].getInt(), 0);
}

TEST_F(Tiled, RefusalsNameTheFileAndLeaveThePreviousDocument)
{
    const std::string out = dir + "/config.tvr";
    writeFile(dir + "/good.tmx", smallTmx);
    ASSERT_EQ(compile(dir + "/good.tmx", out), 0) << errors;
    const std::string kept = readFile(out);
    struct Case {
        const char* what;
        std::string file; // small.tmx or tiny.tmj
        std::string text;
        std::string message; // after "PATH"
    };
    auto startTmx = [](const std::string& column, const std::string& row) {
        return replaced(smallTmx, " <tileset firstgid=\"1\"",
                        " <properties>\n  <property name=\"StartColumn\" value=\"" + column +
                            "\"/>\n  <property name=\"StartRow\" value=\"" + row +
                            "\"/>\n </properties>\n <tileset firstgid=\"1\"");
    };
    auto startJson = [](const std::string& column, const std::string& row) {
        return replaced(smallJson, "\"value\":\"Tiny\"}",
                        "\"value\":\"Tiny\"}, {\"name\":\"StartColumn\", \"type\":\"int\", \"value\":" + column +
                            "}, {\"name\":\"StartRow\", \"type\":\"int\", \"value\":" + row + "}");
    };
    const std::string layerOf3x2 = "<layer id=\"6\" name=\"monster\" width=\"3\" height=\"2\"><data "
                                   "encoding=\"csv\">0,0,0,0,0,0</data></layer>\n";
    const Case cases[] = {
        {"infinite", "small.tmx", replaced(smallTmx, "infinite=\"0\"", "infinite=\"1\""),
         ": an infinite map; the game's maps have a fixed size (untick Infinite in the map's properties)"},
        {"infinite JSON", "tiny.tmj", replaced(smallJson, "\"infinite\":false", "\"infinite\":true"),
         ": an infinite map; the game's maps have a fixed size (untick Infinite in the map's properties)"},
        {"isometric", "small.tmx", replaced(smallTmx, "\"orthogonal\"", "\"isometric\""),
         ": an isometric map; the game's maps are orthogonal"},
        {"tile size", "small.tmx",
         replaced(smallTmx, "tilewidth=\"120\" tileheight=\"120\"", "tilewidth=\"64\" tileheight=\"64\""),
         ": tiles of 64 x 64 pixels; the game's tiles are 120 x 120"},
        {"too large", "small.tmx",
         replaced(smallTmx, "width=\"3\" height=\"2\" tilewidth",
                  "width=\"999999999999\" height=\"999999999999\" tilewidth"),
         ": a map of 999999999999 x 999999999999 cells; mapc reads maps of 1 to 262144 cells"},
        {"empty", "tiny.tmj", replaced(smallJson, "\"width\":1, \"height\":1,", "\"width\":0, \"height\":1,"),
         ": a map of 0 x 1 cells; mapc reads maps of 1 to 262144 cells"},
        {"missing layer", "small.tmx", replaced(smallTmx, " " + layerOf3x2, ""),
         ": no tile layer named 'monster' (the game needs ground, objects, ceiling, walls, events, monster)"},
        {"repeated layer", "small.tmx", replaced(smallTmx, "name=\"events\"", "name=\"ceiling\""),
         ": two tile layers are named 'ceiling'"},
        {"unknown layer", "small.tmx", replaced(smallTmx, "name=\"events\"", "name=\"Events\""),
         ": tile layer 'Events' is none of ground, objects, ceiling, walls, events, monster"},
        {"name on two lines", "small.tmx", replaced(smallTmx, "name=\"events\"", "name=\"ev&#10;ents\""),
         ": tile layer 'ev\\x0aents' is none of ground, objects, ceiling, walls, events, monster"},
        {"foreign tileset", "small.tmx", replaced(smallTmx, "0,0,0,0,182,0", "0,0,0,0,1001,0"),
         ": layer 'objects' at column 1, row 1 holds a tile of grass.tsx, which is not one of the game's sheets"},
        {"sheet of another layer", "small.tmx", replaced(smallTmx, "0,0,0,0,182,0", "0,0,0,0,2,0"),
         ": layer 'objects' at column 1, row 1 holds a tile of chipset0.tsx; this layer takes tiles of "
         "chipset0_obj only"},
        {"embedded foreign tileset", "tiny.tmj", replaced(smallJson, "monster_chipset.png", "monsters.png"),
         ": layer 'monster' at column 0, row 0 holds a tile of monsters.png, which is not one of the game's sheets"},
        {"id in no tileset", "tiny.tmj",
         replaced(smallJson, "{\"firstgid\":1, \"source\"", "{\"firstgid\":5, \"source\""),
         ": layer 'ground' at column 0, row 0 holds tile id 3, which is in no tileset"},
        {"flipped tile", "small.tmx", replaced(smallTmx, "1,2,3,", "2147483649,2,3,"),
         ": layer 'ground' at column 0, row 0 holds a flipped or rotated tile; the game draws tiles as the sheet "
         "has them"},
        {"layer of another size", "small.tmx",
         replaced(smallTmx, "name=\"walls\" width=\"3\"", "name=\"walls\" width=\"4\""),
         ": layer 'walls' is 4 x 2; the map is 3 x 2"},
        {"layer data too short", "small.tmx",
         replaced(smallTmx, "name=\"ceiling\" width=\"3\" height=\"2\"><data encoding=\"csv\">0,0,0,0,0,0",
                  "name=\"ceiling\" width=\"3\" height=\"2\"><data encoding=\"csv\">0,0,0,0,0"),
         ": layer 'ceiling' holds 5 tiles; a map of 3 x 2 holds 6"},
        {"zstd", "small.tmx",
         replaced(smallTmx, "<data encoding=\"csv\">0,0,0,0,0,0</data></layer>\n <layer id=\"6\"",
                  "<data encoding=\"base64\" compression=\"zstd\">KLUv/SAYUQAAEAAAAQB8Aw==</data></layer>\n <layer "
                  "id=\"6\""),
         ": layer 'events' is compressed with zstd, which mapc does not read: choose zlib or gzip in the map's Tile "
         "Layer Format"},
        {"damaged zlib", "small.tmx",
         replaced(smallTmx, "<data encoding=\"csv\">542,0,0,0,0,543</data>",
                  "<data encoding=\"base64\" compression=\"zlib\">eJxjYGBgYAAAAA==</data>"),
         ": layer 'walls' has damaged zlib data"},
        {"group layer", "small.tmx",
         replaced(smallTmx, " " + layerOf3x2, " <group name=\"above\">\n " + layerOf3x2 + " </group>\n"),
         ": group layer 'above': the six tile layers must stand at the top of the layer list"},
        {"bad CSV", "small.tmx", replaced(smallTmx, "0,0,0,0,182,0", "0,0,,0,182,0"),
         ": layer 'objects' has CSV data that is not a list of tile ids"},
        {"map name", "tiny.tmj", replaced(smallJson, "\"value\":\"Tiny\"", "\"value\":\"two words\""),
         ": the map's name 'two words' is not made of letters, digits and '_' (set the map's string property "
         "\"name\")"},
        {"not XML", "small.tmx", replaced(smallTmx, "</layer>\n <layer id=\"2\"", "</layr>\n <layer id=\"2\""),
         ":12:4: not well-formed XML: Start-end tags mismatch"},
        {"not JSON", "tiny.tmj", replaced(smallJson, "\"width\":1, \"height\":1,\n", "\"width\":1 \"height\":1,\n"),
         ":1:62: not well-formed JSON: syntax error while parsing object - unexpected string literal; expected '}'"},
        {"number beyond any type", "tiny.tmj", replaced(smallJson, "\"width\":1,", "\"width\":1E999,"),
         ": unreadable JSON: number overflow parsing '1E999'"},
        {"a tileset, not a map", "tiny.tmj", "{\"type\":\"tileset\"}",
         ": not a Tiled map: the JSON has no \"type\": \"map\""},
        {"start on a wall", "small.tmx", startTmx("0", "0"),
         ": start (0, 0) is on a wall; the player starts on a free cell (the map's properties StartColumn and "
         "StartRow)"},
        {"start on a closed door", "small.tmx", startTmx("2", "1"),
         ": start (2, 1) is on a closed door; the player starts on a free cell (the map's properties StartColumn "
         "and StartRow)"},
        {"start off the map", "small.tmx", startTmx("3", "0"),
         ": start (3, 0) is off the map, which has columns 0..2 and rows 0..1 (the map's properties StartColumn and "
         "StartRow)"},
        {"start not a number", "small.tmx", startTmx("one", "0"),
         ": the map's properties StartColumn and StartRow must be whole numbers from 0, not 'one' and '0'"},
        {"negative start", "tiny.tmj", startJson("-1", "0"),
         ": the map's properties StartColumn and StartRow must be whole numbers from 0, not '-1' and '0'"},
        {"start of no type", "tiny.tmj", startJson("true", "0"),
         ": the map's properties StartColumn and StartRow must be whole numbers from 0, not '?' and '0'"},
        {"start column only", "tiny.tmj",
         replaced(smallJson, "\"value\":\"Tiny\"}", "\"value\":\"Tiny\"}, {\"name\":\"StartColumn\", \"value\":0}"),
         ": the map has one of the properties StartColumn and StartRow; give both or neither"},
    };
    for (const Case& c : cases) {
        const std::string path = dir + "/" + c.file;
        writeFile(path, c.text);
        EXPECT_EQ(compile(path, out), 1) << c.what;
        EXPECT_EQ(errors, path + c.message + "\n") << c.what;
        EXPECT_EQ(readFile(out), kept) << c.what;
        fs::remove(path);
    }
    // Export writes nothing when a map is refused, not even the tilesets.
    writeFile(dir + "/small.tmx", replaced(smallTmx, "infinite=\"0\"", "infinite=\"1\""));
    EXPECT_EQ(
        run(mapTool + " --export-tmx " + dir + "/export --sheets " + binaryDir + "/run/res " + dir + "/small.tmx"), 1);
    EXPECT_FALSE(fs::exists(dir + "/export/chipset0.tsx"));
}

TEST_F(Tiled, ObjectAndImageLayersAreSkippedWithAWarning)
{
    const std::string path = dir + "/small.tmx";
    writeFile(path, replaced(smallTmx, "</map>",
                             " <objectgroup id=\"7\" name=\"notes\"/>\n <imagelayer id=\"8\" "
                             "name=\"sketch\"/>\n</map>"));
    ASSERT_EQ(compile(path, dir + "/config.tvr"), 0) << errors;
    EXPECT_EQ(errors, path + ": warning: object layer 'notes' ignored: the game reads tiles only\n" + path +
                          ": warning: image layer 'sketch' ignored: the game reads tiles only\n");
}
