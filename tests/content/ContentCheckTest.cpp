// The configuration document the build writes: it must load with the data library, hold every
// text the game asks for in every language, and maps the game can be played and won on.

#include "ContentFixture.hpp"

#include "game/GuideTexts.hpp"
#include "game/HudTexts.hpp"
#include "shell/OptionsTexts.hpp"
#include "game/Ingame.hpp"
#include "title/TitleTexts.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <set>

using namespace content;

namespace {

// Keys the game looks up: the event texts, the lines the game writes to the log, the texts of the
// maps after the first (the game asks for key + slot on them, and the plain key when absent) and
// every line of the opening conversation. The log's lines come first.
constexpr int ShippedMaps = 3;
constexpr int TextsPerLaterMap = 7;
// What a map says of its remote panel: the panel, the door it opens, the spot it works from, and
// the name all three give that door.
constexpr const char* RemoteKeys[] = {"RemotePanel", "RemoteDoor", "RemoteSpot", "RemoteDoorName"};

std::vector<std::string> logKeys()
{
    std::vector<std::string> keys = {"Victory", "Books", "DoorPanel", "TooFar"};
    keys.insert(keys.end(), std::begin(RemoteKeys), std::end(RemoteKeys));
    keys.push_back(vrk::GameOverText.key);
    keys.push_back(vrk::ResumeOverText.key);
    keys.push_back(vrk::VictoryText.key);
    for (const vrk::LogText& level : {vrk::LevelClearedText, vrk::GameWonText, vrk::ContinueText})
        keys.push_back(level.key);
    for (const vrk::LogText& help : vrk::HelpTexts)
        keys.push_back(help.key);
    for (const vrk::LogText& rule : vrk::RuleTexts)
        keys.push_back(rule.key);
    // The map's words and what analysing says, one line each too.
    for (const vrk::LogText* text : vrk::GuideTexts)
        keys.push_back(text->key);
    // Every later map has its own books, remote panel and hatch, and a line naming its level.
    for (int slot = 1; slot < int(Config::get().maps.size()); ++slot) {
        keys.insert(keys.end(), {vrk::mapTextKey("Books", slot), vrk::mapTextKey("Victory", slot),
                                 vrk::levelNameKey(slot)});
        for (const char* key : RemoteKeys)
            keys.push_back(vrk::mapTextKey(key, slot));
    }
    return keys;
}

std::vector<std::string> requiredKeys()
{
    std::vector<std::string> keys = logKeys();
    const vrk::DialogueScript& opening = vrk::Dialogue::scripts[0];
    for (int i = 0; i < opening.count; ++i)
        keys.push_back(opening.entries[i].key);
    for (const vrk::LogText* text : vrk::HudTexts)
        keys.push_back(text->key);
    for (const vrk::LogText* text : vrk::TitleTexts)
        keys.push_back(text->key);
    for (const vrk::LogText* text : vrk::OptionsScreenTexts)
        keys.push_back(text->key);
    for (const vrk::LogText& text : vrk::LeaveTexts)
        keys.push_back(text.key);
    return keys;
}

// Texts of the message log are drawn on one line in a 50-point monospaced face; dialogue lines
// in a 40-point face in a box 1728 wide and 216 high.
constexpr size_t LogLineLimit = 56;
constexpr size_t DialogueLineLimit = 60;
constexpr size_t DialogueLines = 3;

std::vector<std::vector<unsigned>> splitLines(const std::vector<unsigned>& text)
{
    std::vector<std::vector<unsigned>> lines(1);
    for (unsigned c : text) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back().push_back(c);
    }
    return lines;
}

// The maps the game can play, each once its layers read completely.
std::vector<const MapData*> playableMaps()
{
    std::vector<const MapData*> maps;
    for (const MapData& map : Config::get().maps)
        if (map.problem.empty())
            maps.push_back(&map);
    return maps;
}

// The first door around a cell, searched row by row as the door panels do.
bool findDoor(const MapData& map, int column, int row, int& doorColumn, int& doorRow)
{
    for (int y = row - 1; y <= row + 1; ++y)
        for (int x = column - 1; x <= column + 1; ++x)
            if (map.contains(x, y) && (map.value(vrk::WallLayer, x, y) == vrk::ClosedDoor ||
                                       map.value(vrk::WallLayer, x, y) == vrk::OpenDoor)) {
                doorColumn = x;
                doorRow = y;
                return true;
            }
    return false;
}

struct DoorWork {
    int operatorColumn, operatorRow; // the cell the player must stand near
    int doorColumn, doorRow;         // -1 when the panel finds no door
    int panelColumn, panelRow;       // the cell clicked
};

// Every panel and remote panel of the map, and the door it works.
std::vector<DoorWork> doorWorks(const MapData& map)
{
    std::vector<DoorWork> works;
    for (int y = 0; y < map.height; ++y)
        for (int x = 0; x < map.width; ++x) {
            const int event = map.value(vrk::EventLayer, x, y);
            if (event != vrk::DoorPanelEvent && event != vrk::RemoteDoorPanelEvent)
                continue;
            // A remote panel acts as a panel 2 columns right and 4 rows up.
            const bool remote = event == vrk::RemoteDoorPanelEvent;
            const int ox = remote ? x + vrk::RemoteColumnOffset : x, oy = remote ? y + vrk::RemoteRowOffset : y;
            int dx = -1, dy = -1;
            findDoor(map, ox, oy, dx, dy);
            works.push_back({ox, oy, dx, dy, x, y});
        }
    return works;
}

// Where the player can go from the start, opening every door whose panel it can reach; a
// player can use a panel from its own cell or any of the 8 cells around it.
struct Reach {
    explicit Reach(const MapData& map)
        : map(map), startColumn(map.startColumn), startRow(map.startRow), reached(size_t(map.width) * map.height, 0)
    {
        const std::vector<DoorWork> works = doorWorks(map);
        for (bool changed = true; changed;) {
            changed = false;
            flood();
            for (const DoorWork& w : works) {
                if (w.doorColumn < 0 || opened.count(index(w.doorColumn, w.doorRow)))
                    continue;
                if (canWork(w)) {
                    opened.insert(index(w.doorColumn, w.doorRow));
                    changed = true;
                }
            }
        }
    }

    bool passable(int x, int y) const
    {
        return map.contains(x, y) && (!map.blocked(x, y) || opened.count(index(x, y)));
    }
    bool at(int x, int y) const { return map.contains(x, y) && reached[index(x, y)]; }
    // The panel's distance test passes for a player within 120 of the middle of the cell it
    // works from: the player can stand in that cell or in one of the 8 around it.
    bool canWork(const DoorWork& w) const
    {
        for (int y = w.operatorRow - 1; y <= w.operatorRow + 1; ++y)
            for (int x = w.operatorColumn - 1; x <= w.operatorColumn + 1; ++x)
                if (at(x, y))
                    return true;
        return false;
    }
    bool doorOpened(int x, int y) const { return opened.count(index(x, y)) > 0; }

private:
    size_t index(int x, int y) const { return size_t(y) * map.width + x; }

    void flood()
    {
        std::fill(reached.begin(), reached.end(), 0);
        if (!passable(startColumn, startRow))
            return;
        std::deque<std::pair<int, int>> queue{{startColumn, startRow}};
        reached[index(startColumn, startRow)] = 1;
        while (!queue.empty()) {
            const auto [x, y] = queue.front();
            queue.pop_front();
            const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& s : steps) {
                const int nx = x + s[0], ny = y + s[1];
                if (passable(nx, ny) && !reached[index(nx, ny)]) {
                    reached[index(nx, ny)] = 1;
                    queue.push_back({nx, ny});
                }
            }
        }
    }

    const MapData& map;
    const int startColumn, startRow;
    std::vector<char> reached;
    std::set<size_t> opened;
};

// A line of sight from one scene point to another, sampled unit by unit as the hunters look:
// true when no blocked cell lies on it before the cell of the end point (doors as at the start).
// Hunters do not see through windows (they stop at whatever stops a walker); the light does.
bool clearLine(const MapData& map, double fromX, double fromY, double toX, double toY, bool throughWindows = false)
{
    const double dx = toX - fromX, dy = toY - fromY;
    const int n = std::max(std::abs(int(dx)), std::abs(int(dy)));
    const int endColumn = int(toX / Tile), endRow = int(toY / Tile);
    double px = fromX, py = fromY;
    for (int i = 0; i <= std::max(n, 0); ++i) {
        const int column = int(px / Tile), row = int(py / Tile);
        if (column == endColumn && row == endRow)
            return true;
        if (map.blocked(column, row) && !(throughWindows && map.value(vrk::WallLayer, column, row) == vrk::WindowCell))
            return false;
        if (n < 1)
            break;
        px += dx / n;
        py += dy / n;
    }
    return true;
}

// Whether a hunter in its cell's corner sees the player standing in the middle of the start cell.
bool seesStart(const MapData& map, int hunterColumn, int hunterRow)
{
    const double mx = double(Tile) * hunterColumn, my = double(Tile) * hunterRow;
    const double px = double(Tile) * map.startColumn + Tile / 2, py = double(Tile) * map.startRow + Tile / 2;
    if (std::hypot(px - mx, py - my) >= 900)
        return false;
    return clearLine(map, mx + 0.5, my + 0.5, px + 0.5, py + 0.5);
}

// The light stops on the first wall it meets, so a panel on a wall is seen when a line from the
// middle of a cell reaches some point of its edges through free cells only.
bool panelSeenFrom(const MapData& map, int column, int row, int panelColumn, int panelRow)
{
    const double fromX = double(Tile) * column + Tile / 2, fromY = double(Tile) * row + Tile / 2;
    for (int k = 1; k < 12; ++k) {
        const double along = 10.0 * k;
        const double left = double(Tile) * panelColumn, top = double(Tile) * panelRow;
        const double points[4][2] = {
            {left + along, top + 1}, {left + along, top + 119}, {left + 1, top + along}, {left + 119, top + along}};
        for (const auto& p : points)
            if (clearLine(map, fromX, fromY, p[0], p[1], true))
                return true;
    }
    return false;
}

} // namespace

// ---- the document --------------------------------------------------------------------------

TEST(ConfigDocument, LoadsWithTheDataLibrary)
{
    const Config& config = Config::get();
    EXPECT_TRUE(config.loaded) << config.messages;
    EXPECT_EQ(config.messages, "");
}

TEST(ConfigTexts, EveryLanguageHasEveryKey)
{
    const Config& config = Config::get();
    ASSERT_TRUE(config.loaded) << config.messages;
    const std::vector<std::string> keys = requiredKeys();
    ASSERT_EQ(keys.size(), 93u + std::size(vrk::OptionsScreenTexts) + TextsPerLaterMap * (config.maps.size() - 1))
        << "8 event texts, 6 lines of the log, 3 of the levels, 3 of the easier rules, 26 of the map and of "
           "analysing, 4 texts of each map after the first, 15 texts of the HUD and the pause, the 23 lines of the "
           "opening conversation, 6 texts of the title, the options screen's and 3 of the question before leaving";
    const zul::Tavric* languages = config.find({"Language"});
    ASSERT_NE(languages, nullptr);
    EXPECT_TRUE(languages->exists("En"));
    EXPECT_TRUE(languages->exists("Fr"));
    const std::set<std::string> known(keys.begin(), keys.end());
    for (auto it = languages->childrenBegin(); it != languages->childrenEnd(); ++it) {
        const zul::Tavric& language = *it->second;
        for (const std::string& key : keys) {
            ASSERT_TRUE(language.exists(key)) << it->first << " lacks " << key;
            const zul::Tavric& text = language[key];
            EXPECT_EQ(text.getType(), zul::TypeString) << it->first << "." << key;
            EXPECT_FALSE(text.getString().empty()) << it->first << "." << key;
        }
        // A key the game never asks for is a misspelling of one it does.
        for (auto k = language.childrenBegin(); k != language.childrenEnd(); ++k)
            EXPECT_TRUE(known.count(k->first)) << it->first << " has an unknown key " << k->first;
    }
}

TEST(ConfigTexts, TextsAreUtf8AndFitWhereTheyAreShown)
{
    const Config& config = Config::get();
    ASSERT_TRUE(config.loaded) << config.messages;
    const zul::Tavric* languages = config.find({"Language"});
    ASSERT_NE(languages, nullptr);
    const std::vector<std::string> keys = requiredKeys();
    const size_t logTexts = logKeys().size();
    for (auto it = languages->childrenBegin(); it != languages->childrenEnd(); ++it)
        for (size_t k = 0; k < keys.size(); ++k) {
            if (!it->second->exists(keys[k]))
                continue; // reported by EveryLanguageHasEveryKey
            const std::string& text = (*it->second)[keys[k]].getString();
            const std::string where = it->first + "." + keys[k];
            std::vector<unsigned> codePoints;
            ASSERT_TRUE(decodeUtf8(text, codePoints)) << where << " is not valid UTF-8";
            const auto lines = splitLines(codePoints);
            const bool logText = k < logTexts;
            EXPECT_LE(lines.size(), logText ? 1u : DialogueLines) << where;
            for (const auto& line : lines) {
                EXPECT_LE(line.size(), logText ? LogLineLimit : DialogueLineLimit) << where;
                EXPECT_FALSE(line.empty()) << where << " has an empty line";
            }
        }
}

TEST(ConfigTexts, FrenchIsATranslationWithItsAccents)
{
    const Config& config = Config::get();
    ASSERT_TRUE(config.loaded) << config.messages;
    const zul::Tavric* en = config.find({"Language", "En"});
    const zul::Tavric* fr = config.find({"Language", "Fr"});
    ASSERT_TRUE(en && fr);
    int same = 0, accented = 0;
    for (const std::string& key : requiredKeys()) {
        if (!en->exists(key) || !fr->exists(key))
            continue;
        const std::string& french = (*fr)[key].getString();
        same += (*en)[key].getString() == french;
        std::vector<unsigned> codePoints;
        decodeUtf8(french, codePoints);
        for (unsigned c : codePoints)
            if (c >= 0xC0 && c <= 0x17F) {
                ++accented;
                break;
            }
    }
    EXPECT_LE(same, 1) << "texts left in English in the French document";
    EXPECT_GE(accented, 10) << "French texts without accented letters";
}

// ---- maps ----------------------------------------------------------------------------------

TEST(ConfigMaps, EveryMapHasCompleteLayersOfKnownCodes)
{
    const Config& config = Config::get();
    ASSERT_TRUE(config.loaded) << config.messages;
    ASSERT_GE(config.maps.size(), 1u);
    for (const MapData& map : config.maps) {
        EXPECT_EQ(map.problem, "") << map.name;
        // The camera needs a map at least as large as the scene.
        EXPECT_GE(map.width, 16) << map.name;
        EXPECT_GE(map.height, 9) << map.name;
        if (!map.problem.empty())
            continue;
        for (int layer = 0; layer < vrk::LayerCount; ++layer)
            for (int y = 0; y < map.height; ++y)
                for (int x = 0; x < map.width; ++x) {
                    const long long code = map.code(layer, x, y);
                    bool known = code == 0 ||
                                 (code > vrk::LayerCodeStride * layer && code <= vrk::LayerCodeStride * (layer + 1));
                    if (layer == vrk::WallLayer)
                        known = code == 0 || (code >= vrk::documentCode(layer, vrk::WindowCell) &&
                                              code <= vrk::documentCode(layer, vrk::OpenDoor));
                    if (layer == vrk::EventLayer) {
                        known = code == 0;
                        for (int event :
                             {vrk::DoorPanelEvent, vrk::BooksEvent, vrk::VictoryTextEvent, vrk::RemoteDoorPanelEvent})
                            known = known || code == vrk::documentCode(layer, event);
                    }
                    if (layer == vrk::MonsterLayer)
                        known = code == 0 || (code >= vrk::HunterCode && code <= vrk::HunterSquareCode);
                    EXPECT_TRUE(known) << map.name << " layer " << layer << " cell (" << x << ", " << y
                                       << ") holds code " << code;
                }
    }
}

TEST(ConfigMaps, TheShippedConfigurationHasThreeMapsInPlayingOrderEachHarder)
{
    const Config& config = Config::get();
    ASSERT_TRUE(config.loaded) << config.messages;
    ASSERT_EQ(config.maps.size(), size_t(ShippedMaps));
    ASSERT_EQ(playableMaps().size(), size_t(ShippedMaps)) << "every map read completely";
    auto hunters = [](const MapData& map) {
        int count = 0;
        for (long long code : map.codes[vrk::MonsterLayer])
            count += code >= vrk::HunterCode && code <= vrk::HunterSquareCode;
        return count;
    };
    // The first map keeps the game's default start; the later ones give their own.
    const struct {
        const char* name;
        bool ownStart;
    } expected[ShippedMaps] = {{"Map0", false}, {"Map1", true}, {"Map2", true}};
    for (int slot = 0; slot < ShippedMaps; ++slot) {
        const MapData& map = config.maps[size_t(slot)];
        EXPECT_EQ(map.name, expected[slot].name);
        EXPECT_EQ(map.hasStart, expected[slot].ownStart) << map.name;
        if (slot > 0) {
            EXPECT_GE(map.width * map.height, 50 * 36) << map.name;
            EXPECT_GT(hunters(map), hunters(config.maps[size_t(slot) - 1])) << map.name << " is not harder";
        }
    }
}

TEST(ConfigMaps, EveryMapStartsOnFreeFloorInsideAClosedBorder)
{
    for (const MapData* map : playableMaps()) {
        SCOPED_TRACE(map->name);
        ASSERT_TRUE(map->contains(map->startColumn, map->startRow))
            << "start (" << map->startColumn << ", " << map->startRow << ")";
        EXPECT_FALSE(map->blocked(map->startColumn, map->startRow));
        EXPECT_EQ(map->value(vrk::MonsterLayer, map->startColumn, map->startRow), 0);
        for (int x = 0; x < map->width; ++x) {
            EXPECT_EQ(map->value(vrk::WallLayer, x, 0), vrk::WallCell) << "top border at column " << x;
            EXPECT_EQ(map->value(vrk::WallLayer, x, map->height - 1), vrk::WallCell) << "bottom border at column " << x;
        }
        for (int y = 0; y < map->height; ++y) {
            EXPECT_EQ(map->value(vrk::WallLayer, 0, y), vrk::WallCell) << "left border at row " << y;
            EXPECT_EQ(map->value(vrk::WallLayer, map->width - 1, y), vrk::WallCell) << "right border at row " << y;
        }
    }
}

// The winnability check, with the hunters' below: every door opens from a panel the player can
// use, and a remote panel can be seen from where it works.
TEST(ConfigMaps, EveryDoorOpensFromAPanelThePlayerCanReach)
{
    ASSERT_FALSE(playableMaps().empty());
    for (const MapData* map : playableMaps()) {
        SCOPED_TRACE(map->name);
        const Reach reach(*map);
        const std::vector<DoorWork> works = doorWorks(*map);
        int doors = 0, remoteDoors = 0;
        for (const DoorWork& w : works) {
            const bool remote = map->value(vrk::EventLayer, w.panelColumn, w.panelRow) == vrk::RemoteDoorPanelEvent;
            const std::string panel = std::string(remote ? "remote panel" : "panel") + " at (" +
                                      std::to_string(w.panelColumn) + ", " + std::to_string(w.panelRow) + ")";
            EXPECT_GE(w.doorColumn, 0) << "the " << panel << " finds no door";
            EXPECT_TRUE(reach.canWork(w)) << "no cell the player can reach passes the distance test of the " << panel;
            if (!remote)
                continue;
            // The player can stand where its distance test passes with the panel in view.
            bool seen = false;
            for (int y = w.operatorRow - 1; y <= w.operatorRow + 1; ++y)
                for (int x = w.operatorColumn - 1; x <= w.operatorColumn + 1; ++x)
                    seen = seen || (reach.at(x, y) && panelSeenFrom(*map, x, y, w.panelColumn, w.panelRow));
            EXPECT_TRUE(seen) << "the " << panel << " cannot be seen from where it works";
        }
        for (int y = 0; y < map->height; ++y)
            for (int x = 0; x < map->width; ++x) {
                const int wall = map->value(vrk::WallLayer, x, y);
                if (wall != vrk::ClosedDoor && wall != vrk::OpenDoor)
                    continue;
                ++doors;
                bool worked = false;
                for (const DoorWork& w : works)
                    if (w.doorColumn == x && w.doorRow == y) {
                        worked = true;
                        remoteDoors +=
                            map->value(vrk::EventLayer, w.panelColumn, w.panelRow) == vrk::RemoteDoorPanelEvent;
                    }
                EXPECT_TRUE(worked) << "no panel finds the door at (" << x << ", " << y << ")";
                EXPECT_TRUE(wall == vrk::OpenDoor || reach.doorOpened(x, y))
                    << "the door at (" << x << ", " << y << ") cannot be opened from where the player can go";
            }
        EXPECT_GE(doors, 3);
        EXPECT_GE(remoteDoors, 1) << "at least one door worked from a remote panel";
    }
}

// Where a player tries a panel: a door panel from a floor cell that touches both it and its door,
// a remote panel from the floor beside its door, in view of the panel; and the remote panel's
// lines name its door in the words the map gives it, in every language.
TEST(ConfigMaps, EveryPanelWorksFromBesideItsDoorAndItsLinesNameThatDoor)
{
    const Config& config = Config::get();
    const zul::Tavric* languages = config.find({"Language"});
    ASSERT_NE(languages, nullptr);
    const auto lower = [](std::string text) {
        for (char& c : text)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    const auto touch = [](int x, int y, int ox, int oy) { return std::abs(x - ox) <= 1 && std::abs(y - oy) <= 1; };
    for (std::size_t slot = 0; slot < config.maps.size(); ++slot) {
        const MapData& map = config.maps[slot];
        SCOPED_TRACE(map.name);
        ASSERT_TRUE(map.problem.empty()) << map.problem;
        const Reach reach(map);
        int remotes = 0;
        for (const DoorWork& w : doorWorks(map)) {
            const std::string where = "(" + std::to_string(w.panelColumn) + ", " + std::to_string(w.panelRow) + ")";
            ASSERT_GE(w.doorColumn, 0) << "the panel at " << where << " finds no door";
            const auto besideDoor = [&](int x, int y) {
                return reach.at(x, y) && !map.blocked(x, y) && touch(x, y, w.doorColumn, w.doorRow) &&
                       !(x == w.doorColumn && y == w.doorRow);
            };
            if (map.value(vrk::EventLayer, w.panelColumn, w.panelRow) == vrk::DoorPanelEvent) {
                bool tried = false;
                for (int y = w.panelRow - 1; y <= w.panelRow + 1; ++y)
                    for (int x = w.panelColumn - 1; x <= w.panelColumn + 1; ++x)
                        tried = tried || besideDoor(x, y);
                EXPECT_TRUE(tried) << "no floor cell a player reaches touches both the panel at " << where
                                   << " and its door";
                continue;
            }
            ++remotes;
            const int spotX = w.operatorColumn, spotY = w.operatorRow;
            EXPECT_TRUE(besideDoor(spotX, spotY) && (spotX == w.doorColumn || spotY == w.doorRow))
                << "the remote panel at " << where << " works from (" << spotX << ", " << spotY
                << "), which is not reachable floor beside its door";
            EXPECT_TRUE(panelSeenFrom(map, spotX, spotY, w.panelColumn, w.panelRow))
                << "the remote panel at " << where << " cannot be seen from where it works";
            for (auto it = languages->childrenBegin(); it != languages->childrenEnd(); ++it) {
                const zul::Tavric& language = *it->second;
                const auto text = [&](const char* key) {
                    const std::string own = vrk::mapTextKey(key, int(slot));
                    return language.exists(own) ? lower(language[own].getString()) : std::string();
                };
                const std::string name = text("RemoteDoorName");
                ASSERT_FALSE(name.empty()) << it->first << " gives the door no name";
                for (const char* key : {"RemotePanel", "RemoteDoor", "RemoteSpot"})
                    EXPECT_NE(text(key).find(name), std::string::npos)
                        << it->first << "." << vrk::mapTextKey(key, int(slot)) << " does not name " << name;
            }
        }
        EXPECT_EQ(remotes, 1);
    }
}

TEST(ConfigMaps, EveryMapHasSeveralRoomsAndNoUnreachableFloor)
{
    for (const MapData* map : playableMaps()) {
        SCOPED_TRACE(map->name);
        const Reach reach(*map);
        // Rooms: parts of the floor that only doors join.
        std::vector<int> room(size_t(map->width) * map->height, -1);
        int rooms = 0;
        auto wallOrDoor = [&](int x, int y) {
            const int w = map->value(vrk::WallLayer, x, y);
            return w == vrk::WallCell || w == vrk::ClosedDoor || w == vrk::OpenDoor;
        };
        for (int y = 0; y < map->height; ++y)
            for (int x = 0; x < map->width; ++x) {
                if (wallOrDoor(x, y) || room[size_t(y) * map->width + x] >= 0)
                    continue;
                std::deque<std::pair<int, int>> queue{{x, y}};
                room[size_t(y) * map->width + x] = rooms;
                while (!queue.empty()) {
                    const auto [cx, cy] = queue.front();
                    queue.pop_front();
                    const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
                    for (const auto& s : steps) {
                        const int nx = cx + s[0], ny = cy + s[1];
                        if (!map->contains(nx, ny) || room[size_t(ny) * map->width + nx] >= 0 || wallOrDoor(nx, ny))
                            continue;
                        room[size_t(ny) * map->width + nx] = rooms;
                        queue.push_back({nx, ny});
                    }
                }
                ++rooms;
            }
        EXPECT_GE(rooms, 4);
        // Floor behind glass is seen, not walked on: its room (windows do not part rooms) must
        // have a floor the player reaches.
        std::vector<bool> roomReached(size_t(rooms), false);
        for (int y = 0; y < map->height; ++y)
            for (int x = 0; x < map->width; ++x)
                if (!map->blocked(x, y) && reach.at(x, y))
                    roomReached[size_t(room[size_t(y) * map->width + x])] = true;
        for (int y = 0; y < map->height; ++y)
            for (int x = 0; x < map->width; ++x)
                if (!map->blocked(x, y) && !reach.at(x, y)) {
                    const int r = room[size_t(y) * map->width + x];
                    EXPECT_TRUE(r >= 0 && roomReached[size_t(r)])
                        << "floor at (" << x << ", " << y << ") can be neither reached nor seen through a window";
                }
    }
}

TEST(ConfigMaps, EveryMapHasBooksAndAVictoryTextWithinReach)
{
    for (const MapData* map : playableMaps()) {
        SCOPED_TRACE(map->name);
        const Reach reach(*map);
        int books = 0, victory = 0;
        for (int y = 0; y < map->height; ++y)
            for (int x = 0; x < map->width; ++x) {
                const int event = map->value(vrk::EventLayer, x, y);
                books += event == vrk::BooksEvent;
                if (event == vrk::VictoryTextEvent) {
                    ++victory;
                    // Walking into the cell shows the text: the cell or a side of it is reachable.
                    EXPECT_TRUE(reach.at(x, y) || reach.at(x + 1, y) || reach.at(x - 1, y) || reach.at(x, y + 1) ||
                                reach.at(x, y - 1))
                        << "victory text at (" << x << ", " << y << ") out of reach";
                }
                if (event != 0) { // something to see: every event cell is drawn with an object
                    EXPECT_GT(map->value(vrk::ObjectLayer, x, y), 0)
                        << "event " << event << " at (" << x << ", " << y << ") has no object to show it";
                }
            }
        EXPECT_GE(books, 1);
        EXPECT_GE(victory, 1);
    }
}

TEST(ConfigMaps, HuntersOfEveryKindStandFreeReachableAndOutOfSightOfTheStart)
{
    for (const MapData* map : playableMaps()) {
        SCOPED_TRACE(map->name);
        const Reach reach(*map);
        std::set<int> kinds;
        int hunters = 0;
        for (int y = 0; y < map->height; ++y)
            for (int x = 0; x < map->width; ++x) {
                const int code = int(map->code(vrk::MonsterLayer, x, y));
                if (code < vrk::HunterCode || code > vrk::HunterSquareCode)
                    continue;
                ++hunters;
                kinds.insert(code);
                // A hunter stands on the top-left corner of its cell: the four cells round it are free.
                for (int cy = y - 1; cy <= y; ++cy)
                    for (int cx = x - 1; cx <= x; ++cx)
                        EXPECT_FALSE(map->blocked(cx, cy)) << "hunter at (" << x << ", " << y << ") overlaps a wall";
                // Victory needs every hunter dead: the player must get to each.
                EXPECT_TRUE(reach.at(x, y)) << "hunter at (" << x << ", " << y << ") cannot be reached";
                EXPECT_FALSE(seesStart(*map, x, y)) << "hunter at (" << x << ", " << y << ") sees the start";
            }
        EXPECT_EQ(kinds.size(), 4u) << "every kind of hunter (902 to 905)";
        EXPECT_GE(hunters, 4);
    }
}

TEST(ConfigMaps, DoorCellsShowFourConsecutiveGroundTiles)
{
    sf::Image ground;
    ASSERT_TRUE(loadImage("res/chipset0.png", ground));
    const int tiles = int(ground.getSize().x / Tile) * int(ground.getSize().y / Tile);
    for (const MapData* map : playableMaps())
        for (int y = 0; y < map->height; ++y)
            for (int x = 0; x < map->width; ++x) {
                const int wall = map->value(vrk::WallLayer, x, y);
                if (wall != vrk::ClosedDoor && wall != vrk::OpenDoor)
                    continue;
                // Closed doors show the first of their four tiles, open ones the last.
                const int first = map->value(vrk::GroundLayer, x, y) - 1 - (wall == vrk::OpenDoor ? 3 : 0);
                ASSERT_GE(first, 0) << map->name << " door at (" << x << ", " << y << ")";
                ASSERT_LE(first + 3, tiles - 1) << map->name << " door at (" << x << ", " << y << ")";
                for (int t = first; t < first + 4; ++t)
                    EXPECT_TRUE(hasInk(ground, (t % 10) * Tile, (t / 10) * Tile, Tile, Tile))
                        << "door tile " << t << " is empty";
            }
}

TEST(ConfigMaps, EveryTileTheMapsUseIsDrawn)
{
    const Config& config = Config::get();
    for (int layer = vrk::GroundLayer; layer <= vrk::CeilingLayer; ++layer) {
        const std::string sheetPath = "res/" + std::string(vrk::LayerSheets[layer]) + ".png";
        sf::Image sheet;
        ASSERT_TRUE(loadImage(sheetPath, sheet));
        std::set<int> used;
        for (const MapData& map : config.maps)
            if (map.problem.empty())
                for (int y = 0; y < map.height; ++y)
                    for (int x = 0; x < map.width; ++x)
                        if (map.value(layer, x, y) >= 1)
                            used.insert(map.value(layer, x, y) - 1);
        for (int t : used)
            EXPECT_TRUE(hasInk(sheet, (t % 10) * Tile, (t / 10) * Tile, Tile, Tile))
                << sheetPath << " tile " << t << " is used but empty or outside the sheet";
    }
}
