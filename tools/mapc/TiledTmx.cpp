// The TMX reader: Tiled's XML, read with pugixml.
#include "TiledDocument.hpp"

#include <pugixml.hpp>

namespace mapc {
namespace tiled {

namespace {

bool tmxNumber(Reader& r, const pugi::xml_node& node, const char* name, long long& out, bool required)
{
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return !required || r.fail(std::string("<") + node.name() + "> has no " + name);
    if (!wholeNumber(attribute.value(), out))
        return r.fail(std::string("<") + node.name() + "> " + name + " is '" + attribute.value() +
                      "', not a whole number");
    return true;
}

bool readTmxLayer(Reader& r, const pugi::xml_node& node, TileLayer& layer)
{
    layer.name = node.attribute("name").value();
    if (!tmxNumber(r, node, "width", layer.width, false) || !tmxNumber(r, node, "height", layer.height, false))
        return false;
    const pugi::xml_node data = node.child("data");
    if (!data)
        return r.fail("layer '" + layer.name + "' has no <data>");
    if (data.child("chunk"))
        return r.fail("layer '" + layer.name +
                      "' is stored in chunks, as in an infinite map; the game's maps "
                      "have a fixed size");
    layer.encoding = data.attribute("encoding").value();
    layer.compression = data.attribute("compression").value();
    if (layer.encoding.empty()) {
        // The oldest form: one <tile gid="..."/> per cell.
        layer.listed = true;
        for (const pugi::xml_node& tile : data.children("tile")) {
            long long id = 0;
            if (!tmxNumber(r, tile, "gid", id, false))
                return false;
            if (id < 0 || id > 0xFFFFFFFFll)
                return r.fail("layer '" + layer.name + "' has a tile id out of range: " + std::to_string(id));
            layer.ids.push_back(std::uint32_t(id));
        }
        return true;
    }
    layer.text = data.text().get();
    return true;
}

} // namespace

bool readTmx(Reader& r, const std::string& text, Document& d)
{
    pugi::xml_document xml;
    const pugi::xml_parse_result result = xml.load_buffer(text.data(), text.size());
    if (!result)
        return r.failAt(text, size_t(result.offset), std::string("not well-formed XML: ") + result.description());
    const pugi::xml_node map = xml.child("map");
    if (!map)
        return r.fail("not a Tiled map: the document has no <map> element");
    d.orientation = map.attribute("orientation").value();
    d.infinite = std::string(map.attribute("infinite").value()) == "1";
    if (d.infinite)
        return true; // refused with the other map-wide faults
    if (!tmxNumber(r, map, "width", d.width, true) || !tmxNumber(r, map, "height", d.height, true) ||
        !tmxNumber(r, map, "tilewidth", d.tileWidth, true) || !tmxNumber(r, map, "tileheight", d.tileHeight, true))
        return false;
    for (const pugi::xml_node& property : map.child("properties").children("property")) {
        const std::string name = property.attribute("name").value();
        const std::string value =
            property.attribute("value") ? property.attribute("value").value() : property.text().get();
        if (name == "name")
            d.name = value;
        else if (name == "StartColumn")
            d.startColumn = value.empty() ? "?" : value;
        else if (name == "StartRow")
            d.startRow = value.empty() ? "?" : value;
    }
    for (const pugi::xml_node& node : map.children()) {
        const std::string kind = node.name();
        if (kind == "tileset") {
            long long firstId = 0, tileWidth = 0, tileHeight = 0;
            if (!tmxNumber(r, node, "firstgid", firstId, true))
                return false;
            if (node.attribute("source")) {
                d.tilesets.push_back(externalTileset(firstId, node.attribute("source").value()));
                continue;
            }
            if (!tmxNumber(r, node, "tilewidth", tileWidth, false) ||
                !tmxNumber(r, node, "tileheight", tileHeight, false))
                return false;
            const std::string image = node.child("image").attribute("source").value();
            d.tilesets.push_back(embeddedTileset(firstId, image.empty() ? node.attribute("name").value() : image,
                                                 tileWidth, tileHeight));
        } else if (kind == "layer") {
            d.layers.emplace_back();
            if (!readTmxLayer(r, node, d.layers.back()))
                return false;
        } else if (kind == "objectgroup") {
            r.warn("object layer '" + std::string(node.attribute("name").value()) +
                   "' ignored: the game reads tiles only");
        } else if (kind == "imagelayer") {
            r.warn("image layer '" + std::string(node.attribute("name").value()) +
                   "' ignored: the game reads tiles only");
        } else if (kind == "group") {
            return r.fail("group layer '" + std::string(node.attribute("name").value()) +
                          "': the six tile layers must stand at the top of the layer list");
        }
    }
    return true;
}

} // namespace tiled
} // namespace mapc
