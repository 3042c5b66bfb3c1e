#pragma once
// A large level made on the spot for the scale benchmark: written as a map source and compiled
// by the map tool's own code into the "Maps" section of a configuration, as a shipped map is.
#include "tools/mapc/MapOutput.hpp"
#include "tools/mapc/MapSource.hpp"

#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace vrk::bench {

constexpr int Side = 512;
constexpr int Room = 16; // walls every 16 cells, a doorway in the middle of each

// The generated level as a map source: rooms with doorways and a few windows, hunters of the
// four kinds spread evenly over the floor, the player in the middle room.
inline std::string mapSource(int hunters)
{
    std::vector<std::string> plan(Side, std::string(Side, '.'));
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            const bool edge = x == 0 || y == 0 || x == Side - 1 || y == Side - 1;
            const bool wallX = x % Room == 0, wallY = y % Room == 0;
            const bool doorway = (wallX && y % Room == Room / 2) || (wallY && x % Room == Room / 2);
            const bool window = (wallX && y % Room == Room / 4) || (wallY && x % Room == Room / 4);
            if (edge || ((wallX || wallY) && !doorway))
                plan[y][x] = (!edge && window && !(wallX && wallY)) ? 'W' : '#';
        }
    std::vector<std::string> above(Side, std::string(Side, '.'));
    // A fixed stride over the free cells, so the hunters are spread evenly and the same each run.
    std::vector<std::pair<int, int>> free;
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            if (plan[y][x] == '.' && x % Room > 2 && x % Room < Room - 2 && y % Room > 2 && y % Room < Room - 2)
                free.emplace_back(x, y);
    for (int i = 0; i < hunters; ++i) {
        const auto& cell = free[(static_cast<std::size_t>(i) * free.size()) / static_cast<std::size_t>(hunters)];
        above[cell.second][cell.first] = static_cast<char>('1' + i % 4);
    }
    std::ostringstream out;
    out << "map Generated\n\ngrid plan: ground walls\nlegend\n'#' ground=wall walls=wall\n"
           "'.' ground=0/0/0/1/4/6\n'W' ground=4 walls=window\nrows\n";
    for (const std::string& row : plan)
        out << row << '\n';
    out << "end\n\ngrid above: ceiling objects events monster\nlegend\n'.'\n'1' monster=hunter\n"
           "'2' monster=hunterH\n'3' monster=hunterV\n'4' monster=hunterSquare\nrows\n";
    for (const std::string& row : above)
        out << row << '\n';
    const int middle = Side / 2 + Room / 2;
    out << "end\n\nstart " << middle << ' ' << middle << '\n';
    return out.str();
}

// The "Maps" section the map tool writes into the configuration, for that source.
inline std::string mapsDocument(int hunters)
{
    mapc::Map map;
    std::string error;
    if (!mapc::parseMap("generated.map", mapSource(hunters), map, error)) {
        std::fprintf(stderr, "the generated map does not compile: %s\n", error.c_str());
        return "";
    }
    std::ostringstream out;
    mapc::writeConfig(out, {}, {map});
    return out.str();
}

} // namespace vrk::bench
