// Reading Tiled maps: the TMX and JSON readers (TiledTmx.cpp, TiledJson.cpp) each turn a file into
// one neutral description (tilesets and tile layers as Tiled wrote them), which is checked and
// turned into document codes here, in one place, so that both formats refuse the same things with
// the same words.
#include "TiledDocument.hpp"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace mapc {
namespace tiled {

namespace {

// Tiled keeps flips and rotations in the top four bits of an id; the game draws tiles unturned.
constexpr std::uint32_t TurnBits = 0xF0000000u;

// Names from the file go into messages: control characters are shown escaped, so that each
// message stays one line.
std::string oneLine(const std::string& text)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte == 127)
            out += std::string("\\x") + hex[byte >> 4] + hex[byte & 15];
        else
            out += c;
    }
    return out;
}

std::string baseName(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string stem(const std::string& path)
{
    const std::string name = baseName(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string extension(const std::string& path)
{
    const std::string name = baseName(path);
    const size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

} // namespace

bool Reader::fail(const std::string& message)
{
    error = path + ": " + oneLine(message);
    return false;
}

bool Reader::failAt(const std::string& text, size_t offset, const std::string& message)
{
    offset = std::min(offset, text.size());
    const size_t line = size_t(std::count(text.begin(), text.begin() + std::ptrdiff_t(offset), '\n')) + 1;
    const size_t lineStart = text.rfind('\n', offset == 0 ? 0 : offset - 1);
    const size_t column = lineStart == std::string::npos || offset == 0 ? offset + 1 : offset - lineStart;
    error = path + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + oneLine(message);
    return false;
}

void Reader::warn(const std::string& message)
{
    warnings.push_back(path + ": warning: " + oneLine(message));
}

// An external tileset is the game's when its file is named after a sheet; an embedded one when
// its image is a sheet cut into the game's tiles.
Tileset externalTileset(long long firstId, const std::string& source)
{
    return Tileset{firstId, layerNamed(vrk::LayerSheets, stem(source)), baseName(source)};
}

Tileset embeddedTileset(long long firstId, const std::string& image, long long tileWidth, long long tileHeight)
{
    const bool gameTiles = tileWidth == vrk::TileSize && tileHeight == vrk::TileSize && extension(image) == "png";
    return Tileset{firstId, gameTiles ? layerNamed(vrk::LayerSheets, stem(image)) : -1, baseName(image)};
}

bool wholeNumber(const std::string& text, long long& out)
{
    const size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() <= i || text.size() > 12)
        return false;
    for (size_t k = i; k < text.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(text[k])))
            return false;
    out = std::stoll(text);
    return true;
}

namespace {

// ---- base64, compression, CSV ------------------------------------------------------------------

bool decodeBase64(const std::string& text, std::string& bytes)
{
    bytes.clear();
    unsigned buffer = 0;
    int bits = 0;
    size_t padding = 0;
    for (char c : text) {
        int value;
        if (c >= 'A' && c <= 'Z')
            value = c - 'A';
        else if (c >= 'a' && c <= 'z')
            value = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            value = c - '0' + 52;
        else if (c == '+')
            value = 62;
        else if (c == '/')
            value = 63;
        else if (c == '=') {
            ++padding;
            continue;
        } else if (std::isspace(static_cast<unsigned char>(c)))
            continue;
        else
            return false;
        if (padding > 0)
            return false; // data after the padding
        buffer = (buffer << 6) | unsigned(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(char((buffer >> bits) & 0xFF));
        }
    }
    return padding <= 2;
}

// Inflates at most limit + 1 bytes: one more than a layer of the map's size needs is enough to
// tell that the layer is too large, and stops a small file from unpacking into gigabytes.
bool inflateData(const std::string& packed, bool gzip, size_t limit, std::string& bytes)
{
    z_stream stream{};
    if (inflateInit2(&stream, gzip ? 16 + MAX_WBITS : MAX_WBITS) != Z_OK)
        return false;
    bytes.assign(limit + 1, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = uInt(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(&bytes[0]);
    stream.avail_out = uInt(bytes.size());
    const int status = inflate(&stream, Z_FINISH);
    const bool full = stream.avail_out == 0;
    bytes.resize(bytes.size() - stream.avail_out);
    inflateEnd(&stream);
    return status == Z_STREAM_END || (status == Z_BUF_ERROR && full);
}

bool parseCsv(const std::string& text, std::vector<std::uint32_t>& ids)
{
    if (text.find_first_not_of(" \t\r\n") == std::string::npos)
        return true;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(',', start);
        const bool last = end == std::string::npos;
        if (last)
            end = text.size();
        size_t a = start, b = end;
        while (a < b && std::isspace(static_cast<unsigned char>(text[a])))
            ++a;
        while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1])))
            --b;
        long long value = 0;
        if (a == b)
            return last; // only the last row may end with a comma
        if (!wholeNumber(text.substr(a, b - a), value) || value < 0 || value > 0xFFFFFFFFll)
            return false;
        ids.push_back(std::uint32_t(value));
        if (last)
            return true;
        start = end + 1;
    }
}

// The ids of a layer in any of Tiled's encodings; cells is what the map's size asks for.
bool layerIds(Reader& r, TileLayer& layer, size_t cells)
{
    const std::string where = "layer '" + layer.name + "'";
    if (layer.listed)
        return true;
    if (layer.encoding == "csv") {
        if (!parseCsv(layer.text, layer.ids))
            return r.fail(where + " has CSV data that is not a list of tile ids");
        return true;
    }
    if (layer.encoding != "base64")
        return r.fail(where + " has data encoded as '" + layer.encoding + "'; mapc reads csv and base64");
    std::string bytes;
    if (!decodeBase64(layer.text, bytes))
        return r.fail(where + " has data that is not base64");
    if (layer.compression == "zstd")
        return r.fail(where + " is compressed with zstd, which mapc does not read: choose zlib or gzip in the map's "
                              "Tile Layer Format");
    if (layer.compression == "zlib" || layer.compression == "gzip") {
        std::string packed;
        packed.swap(bytes);
        if (!inflateData(packed, layer.compression == "gzip", cells * 4, bytes))
            return r.fail(where + " has damaged " + layer.compression + " data");
    } else if (!layer.compression.empty()) {
        return r.fail(where + " is compressed with '" + layer.compression + "'; mapc reads zlib and gzip");
    }
    if (bytes.size() % 4 != 0)
        return r.fail(where + " has " + std::to_string(bytes.size()) + " bytes of data, not whole 4-byte tile ids");
    layer.ids.resize(bytes.size() / 4);
    for (size_t i = 0; i < layer.ids.size(); ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + i * 4);
        layer.ids[i] =
            std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    }
    return true;
}

// ---- checks and codes -----------------------------------------------------------------------------

bool validName(const std::string& name)
{
    if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_'))
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

bool assemble(Reader& r, Document& d, Map& map)
{
    if (d.infinite)
        return r.fail("an infinite map; the game's maps have a fixed size (untick Infinite in the map's properties)");
    if (d.orientation != "orthogonal")
        return r.fail("an " + (d.orientation.empty() ? std::string("unnamed") : d.orientation) +
                      " map; the game's maps are orthogonal");
    if (d.tileWidth != vrk::TileSize || d.tileHeight != vrk::TileSize)
        return r.fail("tiles of " + std::to_string(d.tileWidth) + " x " + std::to_string(d.tileHeight) +
                      " pixels; the game's tiles are 120 x 120");
    if (d.width < 1 || d.height < 1 || d.width > MaxCells || d.height > MaxCells || d.width * d.height > MaxCells)
        return r.fail("a map of " + std::to_string(d.width) + " x " + std::to_string(d.height) +
                      " cells; mapc reads maps of 1 to " + std::to_string(MaxCells) + " cells");
    const std::string name = d.name.empty() ? stem(r.path) : d.name;
    if (!validName(name))
        return r.fail("the map's name '" + name +
                      "' is not made of letters, digits and '_' (set the map's "
                      "string property \"name\")");
    std::sort(d.tilesets.begin(), d.tilesets.end(),
              [](const Tileset& a, const Tileset& b) { return a.firstId < b.firstId; });
    for (size_t i = 0; i < d.tilesets.size(); ++i) {
        if (d.tilesets[i].firstId < 1)
            return r.fail("tileset " + d.tilesets[i].label + " starts at id " + std::to_string(d.tilesets[i].firstId));
        if (i > 0 && d.tilesets[i].firstId == d.tilesets[i - 1].firstId)
            return r.fail("tilesets " + d.tilesets[i - 1].label + " and " + d.tilesets[i].label + " both start at id " +
                          std::to_string(d.tilesets[i].firstId));
    }

    const size_t cells = size_t(d.width * d.height);
    std::array<const TileLayer*, LayerCount> byIndex{};
    for (TileLayer& layer : d.layers) {
        const int found = layerNamed(vrk::LayerNames, layer.name);
        if (found < 0)
            return r.fail("tile layer '" + layer.name +
                          "' is none of ground, objects, ceiling, walls, events, "
                          "monster");
        const size_t index = size_t(found);
        if (byIndex[index])
            return r.fail("two tile layers are named '" + layer.name + "'");
        byIndex[index] = &layer;
        if ((layer.width >= 0 && layer.width != d.width) || (layer.height >= 0 && layer.height != d.height))
            return r.fail("layer '" + layer.name + "' is " + std::to_string(layer.width) + " x " +
                          std::to_string(layer.height) + "; the map is " + std::to_string(d.width) + " x " +
                          std::to_string(d.height));
        if (!layerIds(r, layer, cells))
            return false;
        if (layer.ids.size() != cells)
            return r.fail(
                "layer '" + layer.name + "' holds " +
                (layer.ids.size() > cells ? "more than " + std::to_string(cells) : std::to_string(layer.ids.size())) +
                " tiles; a map of " + std::to_string(d.width) + " x " + std::to_string(d.height) + " holds " +
                std::to_string(cells));
    }
    for (int i = 0; i < LayerCount; ++i)
        if (!byIndex[size_t(i)])
            return r.fail(std::string("no tile layer named '") + vrk::LayerNames[i] +
                          "' (the game needs ground, objects, "
                          "ceiling, walls, events, monster)");

    map = Map{};
    map.name = name;
    map.width = int(d.width);
    map.height = int(d.height);
    for (int i = 0; i < LayerCount; ++i) {
        const TileLayer& layer = *byIndex[size_t(i)];
        std::vector<int>& codes = map.codes[size_t(i)];
        codes.assign(cells, 0);
        for (size_t at = 0; at < cells; ++at) {
            const std::uint32_t id = layer.ids[at];
            if (id == 0)
                continue;
            const std::string where = "layer '" + layer.name + "' at column " + std::to_string(at % size_t(d.width)) +
                                      ", row " + std::to_string(at / size_t(d.width));
            if (id & TurnBits)
                return r.fail(where + " holds a flipped or rotated tile; the game draws tiles as the sheet has them");
            const auto after = std::upper_bound(d.tilesets.begin(), d.tilesets.end(), id,
                                                [](std::uint32_t v, const Tileset& t) { return v < t.firstId; });
            if (after == d.tilesets.begin())
                return r.fail(where + " holds tile id " + std::to_string(id) + ", which is in no tileset");
            const Tileset& tileset = *(after - 1);
            const long long tile = id - tileset.firstId;
            if (tileset.sheet < 0)
                return r.fail(where + " holds a tile of " + tileset.label + ", which is not one of the game's sheets");
            if (tileset.sheet != i)
                return r.fail(where + " holds a tile of " + tileset.label + "; this layer takes tiles of " +
                              vrk::LayerSheets[i] + " only");
            if (tile >= LayerCodeStride)
                return r.fail(where + " holds tile " + std::to_string(tile) + " of " + tileset.label +
                              "; a layer has 180 tiles");
            codes[at] = i * LayerCodeStride + int(tile) + 1;
        }
    }
    if (!d.startColumn.empty() || !d.startRow.empty()) {
        long long column = 0, row = 0;
        if (d.startColumn.empty() || d.startRow.empty())
            return r.fail("the map has one of the properties StartColumn and StartRow; give both or neither");
        if (!wholeNumber(d.startColumn, column) || !wholeNumber(d.startRow, row) || column < 0 || row < 0 ||
            column >= MaxCells || row >= MaxCells)
            return r.fail("the map's properties StartColumn and StartRow must be whole numbers from 0, not '" +
                          d.startColumn + "' and '" + d.startRow + "'");
        map.hasStart = true;
        map.startColumn = int(column);
        map.startRow = int(row);
        const std::string problem = startProblem(map);
        if (!problem.empty())
            return r.fail(problem + " (the map's properties StartColumn and StartRow)");
    }
    return true;
}

} // namespace
} // namespace tiled

using namespace tiled;

bool isTiledSource(const std::string& path)
{
    const std::string ext = extension(path);
    return ext == "tmx" || ext == "tmj" || ext == "json";
}

bool parseTiled(const std::string& path, const std::string& text, Map& map, std::string& error,
                std::vector<std::string>& warnings)
{
    Reader r{path, error, warnings};
    Document document;
    const bool read = extension(path) == "tmx" ? readTmx(r, text, document) : readJson(r, text, document);
    return read && assemble(r, document, map);
}

std::string sheetFileName(int layer)
{
    return std::string(vrk::LayerSheets[layer]) + ".png";
}

std::string tilesetFileName(int layer)
{
    return std::string(vrk::LayerSheets[layer]) + ".tsx";
}

} // namespace mapc
