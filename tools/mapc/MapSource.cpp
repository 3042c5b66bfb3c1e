#include "MapSource.hpp"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace mapc {

int layerNamed(const char* const (&names)[LayerCount], const std::string& name)
{
    for (int i = 0; i < LayerCount; ++i)
        if (name == names[i])
            return i;
    return -1;
}

namespace {

// What one legend entry puts into one layer.
struct Value {
    bool set = false;
    bool autoWall = false;    // ground only: choose the wall tile from the neighbours
    std::vector<int> choices; // document codes; one is picked per cell
};

struct Entry {
    std::array<Value, LayerCount> layers;
};

struct Grid {
    int line = 0; // where the grid begins, for messages
    std::array<bool, LayerCount> fills{};
    std::map<char, Entry> legend;
    std::vector<std::string> rows;
    std::vector<int> rowLines;
};

struct Reader {
    const std::string& path;
    std::string& error;

    bool fail(int line, size_t column, const std::string& message)
    {
        error = path + ":" + std::to_string(line) + ":" + std::to_string(column + 1) + ": " + message;
        return false;
    }
};

bool isBlank(const std::string& line)
{
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

size_t firstNonBlank(const std::string& line)
{
    const size_t p = line.find_first_not_of(" \t");
    return p == std::string::npos ? line.size() : p;
}

bool parseNumber(const std::string& text, int low, int high, int& out)
{
    if (text.empty() || text.size() > 4)
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    out = std::atoi(text.c_str());
    return out >= low && out <= high;
}

// Parses "layer=value" into the entry; column is that of the word, for messages.
bool parseSetting(Reader& r, int line, size_t column, const std::string& word, const Grid& grid, Entry& entry)
{
    const size_t eq = word.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == word.size())
        return r.fail(line, column, "expected layer=value, got '" + word + "'");
    const std::string key = word.substr(0, eq), text = word.substr(eq + 1);
    const int layer = layerNamed(vrk::LayerNames, key);
    if (layer < 0)
        return r.fail(line, column, "unknown layer '" + key + "' (ground, objects, ceiling, walls, events, monster)");
    if (!grid.fills[size_t(layer)])
        return r.fail(line, column, "this grid does not fill the layer '" + key + "'");
    Value& value = entry.layers[size_t(layer)];
    if (value.set)
        return r.fail(line, column, "layer '" + key + "' given twice");
    value.set = true;
    const size_t valueColumn = column + eq + 1;
    const int base = layer * LayerCodeStride;
    switch (layer) {
    case vrk::WallLayer: {
        static const std::map<std::string, int> words = {
            {"free", FreeCode}, {"wall", WallCode}, {"door", DoorCode}, {"open", OpenDoorCode}, {"window", WindowCode}};
        auto it = words.find(text);
        if (it == words.end())
            return r.fail(line, valueColumn, "walls must be free, wall, door, open or window, not '" + text + "'");
        value.choices.push_back(it->second);
        return true;
    }
    case vrk::MonsterLayer: {
        static const std::map<std::string, int> words = {{"hunter", vrk::HunterCode},
                                                         {"hunterH", vrk::HunterHCode},
                                                         {"hunterV", vrk::HunterVCode},
                                                         {"hunterSquare", vrk::HunterSquareCode}};
        auto it = words.find(text);
        if (it == words.end())
            return r.fail(line, valueColumn,
                          "monster must be hunter, hunterH, hunterV or hunterSquare, not '" + text + "'");
        value.choices.push_back(it->second);
        return true;
    }
    case vrk::EventLayer: {
        int event = 0;
        if (!parseNumber(text, 1, LayerCodeStride, event))
            return r.fail(line, valueColumn, "events must be an event number 1..180, not '" + text + "'");
        value.choices.push_back(base + event);
        return true;
    }
    default:
        break;
    }
    if (text == "wall") {
        if (layer != vrk::GroundLayer)
            return r.fail(line, valueColumn, "'wall' picks ground tiles only");
        value.autoWall = true;
        return true;
    }
    std::stringstream parts(text);
    std::string part;
    size_t offset = 0;
    while (std::getline(parts, part, '/')) {
        int tile = 0;
        if (!parseNumber(part, 0, LayerCodeStride - 1, tile))
            return r.fail(line, valueColumn + offset, "expected a tile number 0..179, not '" + part + "'");
        value.choices.push_back(base + tile + 1);
        offset += part.size() + 1;
    }
    return true;
}

// A stable pick among choices, the same for the same cell on every build.
size_t pick(int x, int y, size_t count)
{
    unsigned h = unsigned(x) * 0x9E3779B1u + unsigned(y) * 0x85EBCA77u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h % count;
}

} // namespace

bool readMap(const std::string& path, Map& map, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ":1:1: cannot open the map source";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    return parseMap(path, text.str(), map, error);
}

bool parseMap(const std::string& path, const std::string& text, Map& map, std::string& error)
{
    Reader r{path, error};
    std::vector<std::string> lines;
    {
        std::stringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
    }
    map = Map{};
    std::vector<Grid> grids;
    int nameLine = 0, startLine = 0;
    size_t startAt = 0;
    size_t i = 0;
    while (i < lines.size()) {
        const std::string& line = lines[i];
        const int lineNo = int(i) + 1;
        ++i;
        if (isBlank(line) || line[firstNonBlank(line)] == '#')
            continue;
        std::stringstream words(line);
        std::string keyword;
        words >> keyword;
        const size_t column = firstNonBlank(line);
        if (keyword == "map") {
            std::string name, extra;
            words >> name >> extra;
            if (!map.name.empty())
                return r.fail(lineNo, column, "the map is already named (line " + std::to_string(nameLine) + ")");
            if (name.empty() || !extra.empty() ||
                !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_'))
                return r.fail(lineNo, column, "expected 'map NAME' with a name made of letters, digits and '_'");
            for (char c : name)
                if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
                    return r.fail(lineNo, column + line.substr(column).find(name),
                                  "a map name is made of letters, digits and '_'");
            map.name = name;
            nameLine = lineNo;
            continue;
        }
        if (keyword == "start") {
            std::string columnText, rowText, extra;
            words >> columnText >> rowText >> extra;
            if (startLine)
                return r.fail(lineNo, column, "the start is already given (line " + std::to_string(startLine) + ")");
            if (!parseNumber(columnText, 0, 9999, map.startColumn) || !parseNumber(rowText, 0, 9999, map.startRow) ||
                !extra.empty())
                return r.fail(lineNo, column, "expected 'start COLUMN ROW' with two whole numbers from 0");
            map.hasStart = true;
            startLine = lineNo;
            startAt = column;
            continue;
        }
        if (keyword != "grid")
            return r.fail(lineNo, column,
                          "expected 'map NAME', 'start COLUMN ROW' or 'grid NAME: LAYERS...', got '" + keyword + "'");
        // grid NAME: layer layer ...
        Grid grid;
        grid.line = lineNo;
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            return r.fail(lineNo, column, "expected 'grid NAME: LAYERS...'");
        std::stringstream layerWords(line.substr(colon + 1));
        std::string layerName;
        size_t searchFrom = colon + 1;
        bool any = false;
        while (layerWords >> layerName) {
            const size_t at = line.find(layerName, searchFrom);
            searchFrom = at + layerName.size();
            const int layer = layerNamed(vrk::LayerNames, layerName);
            if (layer < 0)
                return r.fail(lineNo, at,
                              "unknown layer '" + layerName + "' (ground, objects, ceiling, walls, events, monster)");
            for (const Grid& other : grids)
                if (other.fills[size_t(layer)])
                    return r.fail(lineNo, at,
                                  "layer '" + layerName + "' is already filled by the grid of line " +
                                      std::to_string(other.line));
            grid.fills[size_t(layer)] = true;
            any = true;
        }
        if (!any)
            return r.fail(lineNo, colon + 1, "a grid fills at least one layer");
        // legend
        while (i < lines.size() && (isBlank(lines[i]) || lines[i][firstNonBlank(lines[i])] == '#'))
            ++i;
        if (i >= lines.size() || lines[i].substr(firstNonBlank(lines[i])) != "legend")
            return r.fail(int(i) + 1, i < lines.size() ? firstNonBlank(lines[i]) : 0,
                          "expected 'legend' after the grid line");
        ++i;
        for (;; ++i) {
            if (i >= lines.size())
                return r.fail(int(i), 0, "the legend has no 'rows' line after it");
            const std::string& entryLine = lines[i];
            const int entryNo = int(i) + 1;
            if (isBlank(entryLine))
                continue;
            const size_t start = firstNonBlank(entryLine);
            if (entryLine.compare(start, std::string::npos, "rows") == 0)
                break;
            if (entryLine[start] == '#')
                continue;
            if (entryLine[start] != '\'' || start + 2 >= entryLine.size() || entryLine[start + 2] != '\'')
                return r.fail(entryNo, start,
                              "expected a legend entry: a character in quotes, e.g. '#', then layer=value...");
            const char symbol = entryLine[start + 1];
            if (symbol == ' ' || symbol == '\t')
                return r.fail(entryNo, start + 1, "a blank cannot be a map character");
            if (grid.legend.count(symbol))
                return r.fail(entryNo, start + 1, std::string("character '") + symbol + "' is already in the legend");
            Entry entry;
            size_t p = start + 3;
            while (p < entryLine.size()) {
                while (p < entryLine.size() && std::isspace(static_cast<unsigned char>(entryLine[p])))
                    ++p;
                if (p >= entryLine.size() || entryLine[p] == '#')
                    break; // the rest of the line is a note
                size_t end = p;
                while (end < entryLine.size() && !std::isspace(static_cast<unsigned char>(entryLine[end])))
                    ++end;
                if (!parseSetting(r, entryNo, p, entryLine.substr(p, end - p), grid, entry))
                    return false;
                p = end;
            }
            grid.legend[symbol] = entry;
        }
        ++i; // "rows"
        for (;; ++i) {
            if (i >= lines.size())
                return r.fail(int(i), 0,
                              "the rows of the grid of line " + std::to_string(grid.line) + " have no 'end'");
            if (lines[i] == "end")
                break;
            grid.rows.push_back(lines[i]);
            grid.rowLines.push_back(int(i) + 1);
        }
        ++i;
        if (grid.rows.empty())
            return r.fail(grid.line, 0, "the grid has no rows");
        const size_t width = grid.rows[0].size();
        for (size_t row = 0; row < grid.rows.size(); ++row) {
            const std::string& cells = grid.rows[row];
            if (cells.size() != width)
                return r.fail(grid.rowLines[row], std::min(cells.size(), width),
                              "ragged row: " + std::to_string(cells.size()) + " cells where the first row has " +
                                  std::to_string(width));
            for (size_t x = 0; x < cells.size(); ++x)
                if (!grid.legend.count(cells[x]))
                    return r.fail(grid.rowLines[row], x,
                                  std::string("unknown character '") + cells[x] + "' (not in this grid's legend)");
        }
        if (!grids.empty() && (grid.rows.size() != grids[0].rows.size() || width != grids[0].rows[0].size()))
            return r.fail(grid.line, 0,
                          "this grid is " + std::to_string(width) + " x " + std::to_string(grid.rows.size()) +
                              ", the grid of line " + std::to_string(grids[0].line) + " is " +
                              std::to_string(grids[0].rows[0].size()) + " x " + std::to_string(grids[0].rows.size()));
        grids.push_back(std::move(grid));
    }
    const int lastLine = int(lines.size()) + (text.empty() || text.back() == '\n' ? 1 : 0);
    if (map.name.empty())
        return r.fail(lastLine, 0, "the source has no 'map NAME' line");
    if (grids.empty())
        return r.fail(lastLine, 0, "the source has no grid");
    for (int layer = 0; layer < LayerCount; ++layer) {
        bool filled = false;
        for (const Grid& g : grids)
            filled = filled || g.fills[size_t(layer)];
        if (!filled)
            return r.fail(lastLine, 0, std::string("missing layer '") + vrk::LayerNames[layer] + "': no grid fills it");
    }

    map.width = int(grids[0].rows[0].size());
    map.height = int(grids[0].rows.size());
    const size_t cells = size_t(map.width) * size_t(map.height);
    for (auto& codes : map.codes)
        codes.assign(cells, 0);
    std::vector<char> autoWall(cells, 0);
    for (const Grid& g : grids)
        for (int y = 0; y < map.height; ++y)
            for (int x = 0; x < map.width; ++x) {
                const Entry& e = g.legend.at(g.rows[size_t(y)][size_t(x)]);
                for (int layer = 0; layer < LayerCount; ++layer) {
                    const Value& v = e.layers[size_t(layer)];
                    if (!g.fills[size_t(layer)] || !v.set)
                        continue;
                    const size_t at = size_t(y) * map.width + x;
                    if (v.autoWall)
                        autoWall[at] = 1;
                    else
                        map.codes[size_t(layer)][at] = v.choices[pick(x, y, v.choices.size())];
                }
            }
    // Wall tiles join walls, doors and windows; the outside of the map counts as wall.
    auto joins = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= map.width || y >= map.height)
            return true;
        const size_t at = size_t(y) * map.width + x;
        const int w = map.codes[vrk::WallLayer][at];
        return autoWall[at] || w == DoorCode || w == OpenDoorCode || w == WindowCode;
    };
    for (int y = 0; y < map.height; ++y)
        for (int x = 0; x < map.width; ++x)
            if (autoWall[size_t(y) * map.width + x]) {
                const int mask = (joins(x, y - 1) ? 1 : 0) | (joins(x + 1, y) ? 2 : 0) | (joins(x, y + 1) ? 4 : 0) |
                                 (joins(x - 1, y) ? 8 : 0);
                map.codes[vrk::GroundLayer][size_t(y) * map.width + x] = WallTileBase + mask + 1;
            }
    const std::string problem = startProblem(map);
    if (!problem.empty())
        return r.fail(startLine, startAt, problem);
    return true;
}

std::string startProblem(const Map& map)
{
    if (!map.hasStart)
        return "";
    const std::string cell = "start (" + std::to_string(map.startColumn) + ", " + std::to_string(map.startRow) + ")";
    if (map.startColumn < 0 || map.startRow < 0 || map.startColumn >= map.width || map.startRow >= map.height)
        return cell + " is off the map, which has columns 0.." + std::to_string(map.width - 1) + " and rows 0.." +
               std::to_string(map.height - 1);
    const int wall = map.code(vrk::WallLayer, map.startColumn, map.startRow);
    if (wall == WallCode)
        return cell + " is on a wall; the player starts on a free cell";
    if (wall == DoorCode)
        return cell + " is on a closed door; the player starts on a free cell";
    if (wall == WindowCode)
        return cell + " is on a window; the player starts on a free cell";
    return "";
}

} // namespace mapc
