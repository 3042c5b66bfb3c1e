#include "ContentFixture.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tavric/text/Documents.hpp"

namespace content {

int MapData::value(int layer, int x, int y) const
{
    return int(vrk::layerValue(layer, code(layer, x, y)));
}

bool MapData::blocked(int x, int y) const
{
    if (!contains(x, y))
        return true;
    const int w = value(vrk::WallLayer, x, y);
    return w == vrk::WindowCell || w == vrk::WallCell || w == vrk::ClosedDoor;
}

std::string runPath(const std::string& relative)
{
    return std::string(VELMORA_RUN_DIR) + "/" + relative;
}

bool loadImage(const std::string& relative, sf::Image& image)
{
    return image.loadFromFile(runPath(relative));
}

bool hasInk(const sf::Image& image, int left, int top, int width, int height)
{
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            if (x >= 0 && y >= 0 && x < int(image.getSize().x) && y < int(image.getSize().y) &&
                image.getPixel(unsigned(x), unsigned(y)).a > 0)
                return true;
    return false;
}

bool decodeUtf8(const std::string& text, std::vector<unsigned>& codePoints)
{
    codePoints.clear();
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = 0;
        unsigned cp = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + size_t(extra) >= text.size() && extra > 0)
            return false; // cut in the middle of a character
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        // Overlong forms and surrogates are not valid UTF-8.
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) ||
            (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        codePoints.push_back(cp);
        i += size_t(extra) + 1;
    }
    return true;
}

int runCommand(const std::string& command, std::string& errorText)
{
    // One file per process: CTest runs the tests of a folder in parallel processes.
    const std::string errorFile =
        std::string(VELMORA_BINARY_DIR) + "/content-check-stderr-" + std::to_string(::getpid()) + ".txt";
    const int status = std::system((command + " 2>" + errorFile).c_str());
    std::ifstream in(errorFile);
    std::stringstream text;
    text << in.rdbuf();
    errorText = text.str();
    std::remove(errorFile.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const zul::Tavric* Config::find(const std::vector<std::string>& path) const
{
    const zul::Tavric* field = &document;
    for (const std::string& name : path) {
        if (!field->exists(name))
            return nullptr;
        field = &(*field)[name];
    }
    return field;
}

Config& Config::get()
{
    static Config config;
    static bool done = false;
    if (done)
        return config;
    done = true;
    config.loaded = zul::load(config.document, runPath("lev/config.tvr")).accepted;
    for (const std::string& line : config.document.messages())
        config.messages += line;
    const zul::Tavric* mapsField = config.find({vrk::MapsKey});
    if (!config.loaded || !mapsField)
        return config;
    for (auto it = mapsField->childrenBegin(); it != mapsField->childrenEnd(); ++it) {
        const zul::Tavric& field = *it->second;
        MapData map;
        map.name = it->first;
        map.width = field.exists(vrk::WidthKey) ? int(field[vrk::WidthKey].getInt()) : 0;
        map.height = field.exists(vrk::HeightKey) ? int(field[vrk::HeightKey].getInt()) : 0;
        const size_t cells = size_t(std::max(0, map.width)) * size_t(std::max(0, map.height));
        std::vector<const zul::Tavric*> layers;
        if (field.exists(vrk::LayersKey)) {
            const zul::Tavric& layerField = field[vrk::LayersKey];
            for (auto l = layerField.childrenBegin();
                 l != layerField.childrenEnd() && layers.size() < size_t(vrk::LayerCount); ++l)
                layers.push_back(l->second);
        }
        if (field.exists(vrk::StartKey)) {
            const zul::Tavric& start = field[vrk::StartKey];
            map.hasStart = true;
            if (!start.exists(vrk::StartColumnKey) || !start.exists(vrk::StartRowKey) ||
                start[vrk::StartColumnKey].getType() != zul::TypeInt ||
                start[vrk::StartRowKey].getType() != zul::TypeInt)
                map.problem = "Start does not hold the integers Column and Row";
            else {
                map.startColumn = int(start[vrk::StartColumnKey].getInt());
                map.startRow = int(start[vrk::StartRowKey].getInt());
            }
        }
        if (layers.size() < size_t(vrk::LayerCount))
            map.problem = "Layers has " + std::to_string(layers.size()) + " children, the game reads 6";
        for (size_t i = 0; i < layers.size() && map.problem.empty(); ++i) {
            const zul::Collection* collection = layers[i]->getCollection();
            if (!collection || collection->size() != cells) {
                map.problem = "layer " + std::to_string(i) + " (" + layers[i]->getName() + ") holds " +
                              std::to_string(collection ? collection->size() : 0) + " elements instead of " +
                              std::to_string(cells);
                break;
            }
            for (size_t k = 0; k < cells; ++k)
                map.codes[i].push_back(collection->elementAt(k)->getInt());
        }
        config.maps.push_back(std::move(map));
    }
    return config;
}

} // namespace content
