#pragma once

// The reading of Tiled maps, shared by the TMX and the JSON reader and the checks after them
// (the map tool's own header: TiledMap.hpp is the interface).
#include "TiledMap.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace mapc {
namespace tiled {

// A map of 512 x 512 cells is ninety times the shipped floor (64 x 44); the bound
// keeps a forged size from allocating gigabytes before its data is even looked at.
constexpr long long MaxCells = 1 << 18;

// A Tiled map as its file describes it, before any check.
struct Tileset {
    long long firstId = 0;
    int sheet = -1;    // the layer whose sheet it is, or -1 for a tileset that is not the game's
    std::string label; // how the author knows it: its file or image name
};

struct TileLayer {
    std::string name;
    long long width = -1, height = -1; // -1 when the file does not say
    std::string encoding, compression;
    std::string text;               // CSV or base64 as written
    std::vector<std::uint32_t> ids; // when the file lists the ids one by one
    bool listed = false;
};

struct Document {
    std::string orientation;
    long long width = 0, height = 0, tileWidth = 0, tileHeight = 0;
    bool infinite = false;
    std::string name;
    // The map properties StartColumn and StartRow as written ("" when absent).
    std::string startColumn, startRow;
    std::vector<Tileset> tilesets;
    std::vector<TileLayer> layers;
};

// Where messages go: one line each, naming the file.
struct Reader {
    const std::string& path;
    std::string& error;
    std::vector<std::string>& warnings;

    bool fail(const std::string& message);
    // A syntax error at a byte offset of the text: FILE:LINE:COLUMN: message.
    bool failAt(const std::string& text, size_t offset, const std::string& message);
    void warn(const std::string& message);
};

// An external tileset is the game's when its file is named after a sheet; an embedded one when
// its image is a sheet cut into the game's tiles.
Tileset externalTileset(long long firstId, const std::string& source);
Tileset embeddedTileset(long long firstId, const std::string& image, long long tileWidth, long long tileHeight);
// An optional '-' and at most 12 digits.
bool wholeNumber(const std::string& text, long long& out);

bool readTmx(Reader& r, const std::string& text, Document& d);
bool readJson(Reader& r, const std::string& text, Document& d);

} // namespace tiled
} // namespace mapc
