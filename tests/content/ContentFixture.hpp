#pragma once
// The built run directory as the game sees it: the configuration document read with the data
// library, its maps as six layers of document codes, and the resource files.

#include "game/MapFormat.hpp"
#include "tavric/model/Tavric.hpp"

#include <SFML/Graphics/Image.hpp>

#include <array>
#include <string>
#include <vector>

namespace content {

// Scene units per map cell, and pixels per cell of every sheet.
constexpr int Tile = vrk::TileSize;

// One map of the document: codes as written (not yet reduced by the loader).
struct MapData {
    std::string name;
    int width = 0;
    int height = 0;
    std::array<std::vector<long long>, vrk::LayerCount> codes;
    // The "Start" field, or the cell of the game's default start (6120, 4440).
    bool hasStart = false;
    int startColumn = vrk::DefaultStartColumn, startRow = vrk::DefaultStartRow;
    // Empty when every layer is a collection of width x height integers and a "Start" holds
    // two integers.
    std::string problem;

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    long long code(int layer, int x, int y) const { return codes[layer][size_t(y) * width + x]; }
    // Value the loader stores (vrk::layerValue).
    int value(int layer, int x, int y) const;
    // Blocks movement and sight (wall or closed door); outside the map counts as blocked.
    bool blocked(int x, int y) const;
};

// Loads VELMORA_RUN_DIR/lev/config.tvr once per test process.
struct Config {
    static Config& get();

    zul::NameDictionary dictionary;
    zul::Tavric document{&dictionary};
    bool loaded = false;
    std::string messages;
    std::vector<MapData> maps;

    // The read-only field at a path of names, or nullptr.
    const zul::Tavric* find(const std::vector<std::string>& path) const;
};

std::string runPath(const std::string& relative);
bool loadImage(const std::string& relative, sf::Image& image);
// True when some pixel of the rectangle is not fully transparent.
bool hasInk(const sf::Image& image, int left, int top, int width, int height);

// Code points of a UTF-8 text; false when it is not valid UTF-8.
bool decodeUtf8(const std::string& text, std::vector<unsigned>& codePoints);

// Runs a command line, its standard error into errorText; returns its exit status.
int runCommand(const std::string& command, std::string& errorText);

} // namespace content
