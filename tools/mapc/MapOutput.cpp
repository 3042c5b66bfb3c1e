#include "MapOutput.hpp"

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "tavric/text/Emitter.hpp"
#include "tavric/text/WholeFile.hpp"

namespace mapc {

void writeConfig(std::ostream& out, const std::vector<std::string>& texts, const std::vector<Map>& maps)
{
    std::string text;
    zul::Emitter config(text);
    config.comment("Velmora's configuration: texts of every language and the maps.");
    config.comment("Written by velmora_mapc from content/text and content/maps: edit those, not this file.");
    config.blankLine();
    config.beginNode("Language");
    // Each text indented inside "Language", so that the document is laid out as "tavric fmt" lays it out.
    for (const std::string& language : texts)
        config.verbatim(language);
    config.end();
    config.blankLine();
    config.beginNode(vrk::MapsKey);
    for (const Map& map : maps) {
        config.beginNode(map.name);
        config.value(vrk::WidthKey, std::to_string(map.width));
        config.value(vrk::HeightKey, std::to_string(map.height));
        if (map.hasStart) {
            config.beginNode(vrk::StartKey);
            config.value(vrk::StartColumnKey, std::to_string(map.startColumn));
            config.value(vrk::StartRowKey, std::to_string(map.startRow));
            config.end();
        }
        config.beginNode(vrk::LayersKey);
        for (int layer = 0; layer < LayerCount; ++layer) {
            config.comment(vrk::LayerNames[layer]);
            // One map row a line.
            config.beginCollection(vrk::layerKey(layer), static_cast<std::size_t>(map.width));
            for (int y = 0; y < map.height; ++y)
                for (int x = 0; x < map.width; ++x)
                    config.value("", std::to_string(map.code(layer, x, y)));
            config.end();
        }
        config.end();
        config.end();
    }
    config.end();
    out << text;
}

namespace {

constexpr int Tile = vrk::TileSize;
constexpr int Scale = 4; // picture pixels are 4 x 4 map pixels
constexpr int Cell = Tile / Scale;

// Tile t of a sheet, reduced by averaging each 4 x 4 block, over the picture at (px, py).
void stamp(sf::Image& picture, const sf::Image& sheet, int tile, int px, int py, float opacity)
{
    const int sx = (tile % vrk::TileSheetColumns) * Tile, sy = (tile / vrk::TileSheetColumns) * Tile;
    if (tile < 0 || sx + Tile > int(sheet.getSize().x) || sy + Tile > int(sheet.getSize().y))
        return;
    for (int y = 0; y < Cell; ++y)
        for (int x = 0; x < Cell; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int dy = 0; dy < Scale; ++dy)
                for (int dx = 0; dx < Scale; ++dx) {
                    const sf::Color c = sheet.getPixel(unsigned(sx + x * Scale + dx), unsigned(sy + y * Scale + dy));
                    const float ca = c.a / 255.0f;
                    r += c.r * ca;
                    g += c.g * ca;
                    b += c.b * ca;
                    a += ca;
                }
            if (a <= 0)
                continue;
            const float alpha = a / (Scale * Scale) * opacity;
            const int ox = px + x, oy = py + y;
            if (ox < 0 || oy < 0 || ox >= int(picture.getSize().x) || oy >= int(picture.getSize().y))
                continue;
            const sf::Color under = picture.getPixel(unsigned(ox), unsigned(oy));
            auto blend = [&](float over, sf::Uint8 below) {
                return sf::Uint8(std::lround(over / a * alpha + below * (1 - alpha)));
            };
            picture.setPixel(unsigned(ox), unsigned(oy),
                             sf::Color(blend(r, under.r), blend(g, under.g), blend(b, under.b)));
        }
}

} // namespace

namespace {

// Writes the picture in the format its name asks for; the old file stays whole on a failure.
bool savePicture(const sf::Image& picture, const std::string& out, std::string& error)
{
    // SFML encodes only into a file named for its format: a scratch file beside the picture, whose
    // bytes then replace the picture whole.
    const std::filesystem::path target(out);
    const std::string scratch =
        (target.parent_path() / ("." + target.stem().string() + ".part" + target.extension().string())).string();
    std::string bytes;
    const bool encoded = picture.saveToFile(scratch) && zul::readWholeFile(scratch, bytes) == 0;
    std::remove(scratch.c_str());
    if (!encoded) {
        error = out + ": cannot write the picture";
        return false;
    }
    const zul::ReplaceResult written = zul::replaceWholeFile(out, bytes);
    if (!written)
        error = out + ": " + written.text();
    return static_cast<bool>(written);
}

bool loadSheets(const std::string& sheetDir, sf::Image (&sheets)[LayerCount], std::string& error)
{
    // Every sheet but the walls', which the picture shows by their ground tiles.
    for (int i = 0; i < LayerCount; ++i) {
        const std::string path = sheetDir + "/" + vrk::LayerSheets[i] + ".png";
        if (i != vrk::WallLayer && !sheets[i].loadFromFile(path)) {
            error = path + ": cannot load the sheet";
            return false;
        }
    }
    return true;
}

// The tiles of the cells in [x0, x1) x [y0, y1), the picture's origin at cell (x0, y0); events too
// when withEvents.
void drawCells(sf::Image& picture, const Map& map, const sf::Image (&sheets)[LayerCount], int x0, int y0, int x1,
               int y1, bool withEvents)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const int px = (x - x0) * Cell, py = (y - y0) * Cell;
            for (int layer = vrk::GroundLayer; layer <= vrk::CeilingLayer; ++layer) {
                const int v = map.code(layer, x, y) - layer * LayerCodeStride;
                if (v >= 1)
                    stamp(picture, sheets[layer], v - 1, px, py, layer == vrk::CeilingLayer ? 0.7f : 1.0f);
            }
            const int event = map.code(vrk::EventLayer, x, y) - vrk::EventLayer * LayerCodeStride;
            if (withEvents && event >= 1)
                stamp(picture, sheets[vrk::EventLayer], event - 1, px, py, 0.8f);
        }
    // Hunters stand on the top-left corner of their cell.
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const int code = map.code(vrk::MonsterLayer, x, y);
            if (code >= vrk::HunterCode && code <= vrk::HunterSquareCode)
                stamp(picture, sheets[vrk::MonsterLayer], int(vrk::layerValue(vrk::MonsterLayer, code)) - 1,
                      (x - x0) * Cell - Cell / 2, (y - y0) * Cell - Cell / 2, 1.0f);
        }
}

} // namespace

bool drawView(const Map& map, const std::string& sheetDir, unsigned width, unsigned height, const std::string& out,
              std::string& error)
{
    sf::Image sheets[LayerCount];
    if (!loadSheets(sheetDir, sheets, error))
        return false;
    // The view's top-left corner in picture pixels, the start cell's middle at its centre unless
    // that would show beyond the map.
    const int mapWidth = map.width * Cell, mapHeight = map.height * Cell;
    auto corner = [](int centre, int span, int extent) {
        return std::max(0, std::min(centre - span / 2, extent - span));
    };
    const int left = corner(map.startColumn * Cell + Cell / 2, int(width), mapWidth);
    const int top = corner(map.startRow * Cell + Cell / 2, int(height), mapHeight);
    // The cells the view touches, and one more each way for the hunters standing half a cell off.
    const int x0 = left / Cell, y0 = top / Cell;
    const int x1 = std::min(map.width, (left + int(width)) / Cell + 2);
    const int y1 = std::min(map.height, (top + int(height)) / Cell + 2);
    sf::Image cells;
    cells.create(unsigned((x1 - x0) * Cell), unsigned((y1 - y0) * Cell), sf::Color(10, 10, 14));
    drawCells(cells, map, sheets, x0, y0, x1, y1, false);
    sf::Image view;
    view.create(width, height, sf::Color(10, 10, 14));
    view.copy(cells, 0, 0, sf::IntRect(left - x0 * Cell, top - y0 * Cell, int(width), int(height)));
    return savePicture(view, out, error);
}

bool drawPicture(const Map& map, const std::string& sheetDir, const std::string& out, std::string& error)
{
    sf::Image sheets[LayerCount];
    if (!loadSheets(sheetDir, sheets, error))
        return false;
    sf::Image picture;
    picture.create(unsigned(map.width * Cell), unsigned(map.height * Cell), sf::Color(10, 10, 14));
    drawCells(picture, map, sheets, 0, 0, map.width, map.height, true);
    // The ring marks the middle of the start cell (the game's default when the map names none).
    const int cx = map.startColumn * Cell + Cell / 2, cy = map.startRow * Cell + Cell / 2;
    for (int a = 0; a < 360; ++a)
        for (int r = 11; r <= 13; ++r) {
            const int x = cx + int(std::lround(r * std::cos(a * 3.14159265 / 180)));
            const int y = cy + int(std::lround(r * std::sin(a * 3.14159265 / 180)));
            if (x >= 0 && y >= 0 && x < int(picture.getSize().x) && y < int(picture.getSize().y))
                picture.setPixel(unsigned(x), unsigned(y), sf::Color(255, 60, 60));
        }
    return savePicture(picture, out, error);
}

} // namespace mapc
