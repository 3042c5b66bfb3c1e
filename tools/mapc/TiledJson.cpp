// The JSON reader: Tiled's .tmj, read with nlohmann-json.
#include "TiledDocument.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace mapc {
namespace tiled {

namespace {

using Json = nlohmann::json;

using Json = nlohmann::json;

bool jsonNumber(Reader& r, const Json& object, const char* key, const std::string& where, long long& out, bool required)
{
    const auto it = object.find(key);
    if (it == object.end())
        return !required || r.fail(where + " has no \"" + key + "\"");
    if (!it->is_number_integer() || it->get<long long>() < -0x7FFFFFFFll || it->get<long long>() > 0xFFFFFFFFll)
        return r.fail(where + " \"" + key + "\" is not a whole number");
    out = it->get<long long>();
    return true;
}

std::string jsonString(const Json& object, const char* key)
{
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

bool readJsonLayer(Reader& r, const Json& node, TileLayer& layer)
{
    layer.name = jsonString(node, "name");
    const std::string where = "layer '" + layer.name + "'";
    if (!jsonNumber(r, node, "width", where, layer.width, false) ||
        !jsonNumber(r, node, "height", where, layer.height, false))
        return false;
    if (node.contains("chunks"))
        return r.fail(where + " is stored in chunks, as in an infinite map; the game's maps have a fixed size");
    layer.encoding = node.contains("encoding") ? jsonString(node, "encoding") : "csv";
    layer.compression = jsonString(node, "compression");
    const auto data = node.find("data");
    if (data == node.end())
        return r.fail(where + " has no \"data\"");
    if (data->is_string()) {
        if (layer.encoding == "csv")
            return r.fail(where + " \"data\" is a text, but the layer's encoding is csv");
        layer.text = data->get<std::string>();
        return true;
    }
    if (!data->is_array())
        return r.fail(where + " \"data\" is neither a list of tile ids nor a base64 text");
    layer.listed = true;
    layer.ids.reserve(std::min<size_t>(data->size(), size_t(MaxCells)));
    for (const Json& id : *data) {
        if (!id.is_number_integer() || id.get<long long>() < 0 || id.get<long long>() > 0xFFFFFFFFll)
            return r.fail(where + " \"data\" holds " + id.dump(-1, ' ', false, Json::error_handler_t::replace) +
                          ", not a tile id");
        layer.ids.push_back(std::uint32_t(id.get<long long>()));
    }
    return true;
}

} // namespace

bool readJson(Reader& r, const std::string& text, Document& d)
{
    Json root;
    try {
        root = Json::parse(text);
    } catch (const Json::parse_error& e) {
        std::string what = e.what();
        // "[json.exception...] parse error at line 1, column 9: what": the place is given as ours.
        const size_t column = what.find("column ");
        const size_t cut = column == std::string::npos ? std::string::npos : what.find(": ", column);
        if (cut != std::string::npos)
            what = what.substr(cut + 2);
        return r.failAt(text, e.byte == 0 ? 0 : size_t(e.byte) - 1, "not well-formed JSON: " + what);
    } catch (const Json::exception& e) {
        // A number too large for any type, which the parser reports apart from syntax errors.
        std::string what = e.what();
        const size_t cut = what.find("] ");
        return r.fail("unreadable JSON: " + (cut == std::string::npos ? what : what.substr(cut + 2)));
    }
    if (!root.is_object() || jsonString(root, "type") != "map")
        return r.fail("not a Tiled map: the JSON has no \"type\": \"map\"");
    d.orientation = jsonString(root, "orientation");
    const auto infinite = root.find("infinite");
    d.infinite = infinite != root.end() && infinite->is_boolean() && infinite->get<bool>();
    if (d.infinite)
        return true;
    if (!jsonNumber(r, root, "width", "the map", d.width, true) ||
        !jsonNumber(r, root, "height", "the map", d.height, true) ||
        !jsonNumber(r, root, "tilewidth", "the map", d.tileWidth, true) ||
        !jsonNumber(r, root, "tileheight", "the map", d.tileHeight, true))
        return false;
    const auto properties = root.find("properties");
    if (properties != root.end() && properties->is_array())
        for (const Json& property : *properties) {
            if (!property.is_object())
                continue;
            const std::string name = jsonString(property, "name");
            if (name == "name") {
                d.name = jsonString(property, "value");
            } else if (name == "StartColumn" || name == "StartRow") {
                // Tiled writes an int property as a number; "?" stands for a value that is none.
                const auto value = property.find("value");
                std::string text = "?";
                if (value != property.end() && value->is_number_integer())
                    text = std::to_string(value->get<long long>());
                else if (value != property.end() && value->is_string() && !value->get<std::string>().empty())
                    text = value->get<std::string>();
                (name == "StartColumn" ? d.startColumn : d.startRow) = text;
            }
        }
    const auto tilesets = root.find("tilesets");
    if (tilesets != root.end() && tilesets->is_array())
        for (const Json& tileset : *tilesets) {
            if (!tileset.is_object())
                return r.fail("a tileset entry is not an object");
            long long firstId = 0, tileWidth = 0, tileHeight = 0;
            if (!jsonNumber(r, tileset, "firstgid", "a tileset", firstId, true))
                return false;
            if (tileset.contains("source")) {
                d.tilesets.push_back(externalTileset(firstId, jsonString(tileset, "source")));
                continue;
            }
            if (!jsonNumber(r, tileset, "tilewidth", "a tileset", tileWidth, false) ||
                !jsonNumber(r, tileset, "tileheight", "a tileset", tileHeight, false))
                return false;
            const std::string image = jsonString(tileset, "image");
            d.tilesets.push_back(
                embeddedTileset(firstId, image.empty() ? jsonString(tileset, "name") : image, tileWidth, tileHeight));
        }
    const auto layers = root.find("layers");
    if (layers == root.end() || !layers->is_array())
        return r.fail("the map has no \"layers\" list");
    for (const Json& node : *layers) {
        if (!node.is_object())
            return r.fail("a layer entry is not an object");
        const std::string kind = jsonString(node, "type"), name = jsonString(node, "name");
        if (kind == "tilelayer") {
            d.layers.emplace_back();
            if (!readJsonLayer(r, node, d.layers.back()))
                return false;
        } else if (kind == "objectgroup") {
            r.warn("object layer '" + name + "' ignored: the game reads tiles only");
        } else if (kind == "imagelayer") {
            r.warn("image layer '" + name + "' ignored: the game reads tiles only");
        } else if (kind == "group") {
            return r.fail("group layer '" + name + "': the six tile layers must stand at the top of the layer list");
        } else {
            return r.fail("layer '" + name + "' is of an unknown type '" + kind + "'");
        }
    }
    return true;
}

} // namespace tiled
} // namespace mapc
