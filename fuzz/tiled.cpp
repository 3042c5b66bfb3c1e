// Tiled maps: any bytes read as a TMX file and as a Tiled JSON file by the map tool's readers.
// Nothing may crash, leak or hang; a refusal is one line naming the file; an accepted map holds
// only codes of its own layers, and the TMX the tool exports for it is read back as the same map.

#include "FuzzCommon.hpp"
#include "tools/mapc/TiledMap.hpp"

namespace {

void check(const std::string& path, const std::string& text)
{
    mapc::Map map;
    std::string error;
    std::vector<std::string> warnings;
    if (!mapc::parseTiled(path, text, map, error, warnings)) {
        if (error.rfind(path + ":", 0) != 0 || error.find('\n') != std::string::npos)
            fuzz::fail("a refusal is not one line naming the file", text, error);
        return;
    }
    const size_t cells = size_t(map.width) * size_t(map.height);
    for (int layer = 0; layer < mapc::LayerCount; ++layer) {
        if (map.codes[size_t(layer)].size() != cells)
            fuzz::fail("an accepted layer does not fill the map", text);
        for (int code : map.codes[size_t(layer)])
            if (code != 0 && (code <= layer * mapc::LayerCodeStride || code > (layer + 1) * mapc::LayerCodeStride))
                fuzz::fail("an accepted layer holds a code of another layer", text, std::to_string(code));
    }
    if (!mapc::startProblem(map).empty())
        fuzz::fail("an accepted start cell is off the map or blocked", text, mapc::startProblem(map));
    const std::string exported = mapc::tmxText(map);
    mapc::Map again;
    if (!mapc::parseTiled("again.tmx", exported, again, error, warnings))
        fuzz::fail("the export of an accepted map is refused", exported, error);
    if (again.name != map.name || again.width != map.width || again.height != map.height || again.codes != map.codes ||
        again.hasStart != map.hasStart || again.startColumn != map.startColumn || again.startRow != map.startRow)
        fuzz::fail("the export of an accepted map reads back as another map", text, exported);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string text = fuzz::textOf(data, size);
    check("fuzz.tmx", text);
    check("fuzz.tmj", text);
    return 0;
}
