// Writing maps for Tiled: a .tmx per map and a .tsx per sheet, in the form Tiled 1.8 saves them.
#include "TiledMap.hpp"

#include <sstream>

namespace mapc {

namespace {

// How translucent the map picture draws a layer, so that Tiled shows the map as the picture does.
const char* layerOpacity(int layer)
{
    switch (layer) {
    case vrk::CeilingLayer:
        return " opacity=\"0.7\"";
    case vrk::EventLayer:
        return " opacity=\"0.8\"";
    default:
        return "";
    }
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string tmxText(const Map& map)
{
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<map version=\"1.8\" tiledversion=\"1.8.2\" orientation=\"orthogonal\" renderorder=\"right-down\" width=\""
        << map.width << "\" height=\"" << map.height << "\" tilewidth=\"" << vrk::TileSize << "\" tileheight=\""
        << vrk::TileSize << "\" infinite=\"0\" backgroundcolor=\"#0a0a0e\" nextlayerid=\"" << LayerCount + 1
        << "\" nextobjectid=\"1\">\n"
        << " <properties>\n  <property name=\"name\" value=\"" << map.name << "\"/>\n";
    if (map.hasStart)
        out << "  <property name=\"StartColumn\" type=\"int\" value=\"" << map.startColumn
            << "\"/>\n  <property name=\"StartRow\" type=\"int\" value=\"" << map.startRow << "\"/>\n";
    out << " </properties>\n";
    for (int layer = 0; layer < LayerCount; ++layer)
        out << " <tileset firstgid=\"" << layer * LayerCodeStride + 1 << "\" source=\"" << tilesetFileName(layer)
            << "\"/>\n";
    for (int layer = 0; layer < LayerCount; ++layer) {
        out << " <layer id=\"" << layer + 1 << "\" name=\"" << vrk::LayerNames[layer] << "\" width=\"" << map.width
            << "\" height=\"" << map.height << "\"" << layerOpacity(layer) << ">\n  <data encoding=\"csv\">\n";
        for (int y = 0; y < map.height; ++y) {
            for (int x = 0; x < map.width; ++x) {
                // With tileset i starting at 180i + 1, a Tiled id is the document code itself.
                out << map.code(layer, x, y);
                if (x + 1 < map.width || y + 1 < map.height)
                    out << ',';
            }
            out << '\n';
        }
        out << "</data>\n </layer>\n";
    }
    out << "</map>\n";
    return out.str();
}

std::string tilesetText(int layer, const Sheet& sheet)
{
    const int columns = sheet.width / vrk::TileSize, rows = sheet.height / vrk::TileSize;
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<tileset version=\"1.8\" tiledversion=\"1.8.2\" name=\""
        << tilesetFileName(layer).substr(0, tilesetFileName(layer).size() - 4) << "\" tilewidth=\"" << vrk::TileSize
        << "\" tileheight=\"" << vrk::TileSize << "\" tilecount=\"" << columns * rows << "\" columns=\"" << columns
        << "\">\n"
        << " <image source=\"" << escaped(sheet.path) << "\" width=\"" << sheet.width << "\" height=\"" << sheet.height
        << "\"/>\n"
        << "</tileset>\n";
    return out.str();
}

} // namespace mapc
