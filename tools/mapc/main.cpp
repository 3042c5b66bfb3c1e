// The map tool: turns map sources into the "Maps" section of lev/config.tvr, or draws a map.
//
//   velmora_mapc --out CONFIG [--text TEXTFILE]... MAP...
//       writes the configuration document: the text files inside "Language", the maps under
//       "Maps" in the order given (a map's place in name order is what the game uses).
//   velmora_mapc --picture OUT.png --sheets RESDIR [--view WIDTHxHEIGHT] MAP
//       draws the map with the game's sheets; with --view only that many pixels round the start,
//       as play shows them (the title's background).
//   velmora_mapc --export-tmx DIR --sheets RESDIR MAP...
//       writes each map as DIR/STEM.tmx for Tiled, with a .tsx per sheet pointing into RESDIR.
// A map is a character grid (.map) or a Tiled map (.tmx, .tmj, .json). A malformed source is
// reported in one line naming the file, nothing is written and the tool fails.
#include "MapOutput.hpp"
#include "MapSource.hpp"
#include "TiledMap.hpp"
#include "tavric/text/WholeFile.hpp"

#include <SFML/Graphics/Image.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <utility>

namespace fs = std::filesystem;

namespace {

int usage()
{
    std::cerr << "usage: velmora_mapc --out CONFIG [--text FILE]... MAP... | --picture OUT.png --sheets DIR [--view WxH] MAP"
                 " | --export-tmx DIR --sheets DIR MAP...\n";
    return 2;
}

bool readText(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::stringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
}

// A failed run never leaves a partial document: the file is replaced whole or left as it was.
bool writeAtomically(const std::string& out, const std::string& content)
{
    std::error_code ec;
    const fs::path target(out);
    if (!target.parent_path().empty())
        fs::create_directories(target.parent_path(), ec);
    const zul::ReplaceResult written = zul::replaceWholeFile(out, content);
    if (!written)
        std::cerr << out << ": " << written.text() << "\n";
    return static_cast<bool>(written);
}

bool readSource(const std::string& path, mapc::Map& map, std::string& error)
{
    if (!mapc::isTiledSource(path))
        return mapc::readMap(path, map, error);
    std::string text;
    if (!readText(path, text)) {
        error = path + ": cannot open the map source";
        return false;
    }
    std::vector<std::string> warnings;
    const bool read = mapc::parseTiled(path, text, map, error, warnings);
    for (const std::string& warning : warnings)
        std::cerr << warning << "\n";
    return read;
}

// The maps as .tmx files and the sheets' tilesets, all checked before any is written.
bool exportTmx(const std::string& dir, const std::string& sheetDir, const std::vector<mapc::Map>& maps,
               const std::vector<std::string>& paths)
{
    std::error_code ec;
    fs::create_directories(dir, ec);
    const fs::path base = fs::absolute(dir);
    std::vector<std::pair<std::string, std::string>> files;
    for (int layer = 0; layer < mapc::LayerCount; ++layer) {
        const std::string sheetPath = sheetDir + "/" + mapc::sheetFileName(layer);
        sf::Image image;
        if (!image.loadFromFile(sheetPath)) {
            std::cerr << sheetPath << ": cannot load the sheet\n";
            return false;
        }
        mapc::Sheet sheet;
        sheet.path = fs::absolute(sheetPath).lexically_normal().lexically_relative(base.lexically_normal()).string();
        sheet.width = int(image.getSize().x);
        sheet.height = int(image.getSize().y);
        files.emplace_back(dir + "/" + mapc::tilesetFileName(layer), mapc::tilesetText(layer, sheet));
    }
    for (size_t i = 0; i < maps.size(); ++i)
        files.emplace_back(dir + "/" + fs::path(paths[i]).stem().string() + ".tmx", mapc::tmxText(maps[i]));
    for (const auto& file : files)
        if (!writeAtomically(file.first, file.second))
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string out, picture, sheets, exportDir, viewSize;
    std::vector<std::string> textPaths, mapPaths;
    // The options that take one value, and where it goes.
    const std::pair<const char*, std::string*> valued[] = {
        {"--out", &out}, {"--picture", &picture}, {"--export-tmx", &exportDir}, {"--sheets", &sheets}, {"--view", &viewSize}};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc)
                return false;
            into = argv[++i];
            return true;
        };
        std::string* into = nullptr;
        for (const auto& option : valued)
            if (arg == option.first)
                into = option.second;
        if (into) {
            if (!value(*into))
                return usage();
        } else if (arg == "--text") {
            std::string path;
            if (!value(path))
                return usage();
            textPaths.push_back(path);
        } else if (arg.rfind("--", 0) == 0) {
            return usage();
        } else {
            mapPaths.push_back(arg);
        }
    }
    const int modes = int(!out.empty()) + int(!picture.empty()) + int(!exportDir.empty());
    unsigned viewWidth = 0, viewHeight = 0;
    if (!viewSize.empty()) {
        char x = 0, extra = 0;
        if (std::sscanf(viewSize.c_str(), "%u%c%u%c", &viewWidth, &x, &viewHeight, &extra) != 3 || x != 'x' ||
            viewWidth == 0 || viewHeight == 0 || viewWidth > 8192 || viewHeight > 8192)
            return usage();
    }
    if (mapPaths.empty() || modes != 1 || (!picture.empty() && (sheets.empty() || mapPaths.size() != 1)) ||
        (!exportDir.empty() && sheets.empty()) || (!viewSize.empty() && picture.empty()))
        return usage();

    std::vector<mapc::Map> maps;
    for (const std::string& path : mapPaths) {
        mapc::Map map;
        std::string error;
        if (!readSource(path, map, error)) {
            std::cerr << error << "\n";
            return 1;
        }
        for (const mapc::Map& other : maps)
            if (other.name == map.name) {
                std::cerr << path << ":1:1: a map named " << map.name << " is already given\n";
                return 1;
            }
        maps.push_back(std::move(map));
    }
    if (!exportDir.empty())
        return exportTmx(exportDir, sheets, maps, mapPaths) ? 0 : 1;
    if (!picture.empty()) {
        std::string error;
        const bool drawn = viewSize.empty()
                               ? mapc::drawPicture(maps[0], sheets, picture, error)
                               : mapc::drawView(maps[0], sheets, viewWidth, viewHeight, picture, error);
        if (!drawn) {
            std::cerr << error << "\n";
            return 1;
        }
        return 0;
    }
    std::vector<std::string> texts;
    for (const std::string& path : textPaths) {
        std::string text;
        if (!readText(path, text)) {
            std::cerr << path << ":1:1: cannot read the text file\n";
            return 1;
        }
        texts.push_back(text);
    }
    std::ostringstream document;
    mapc::writeConfig(document, texts, maps);
    return writeAtomically(out, document.str()) ? 0 : 1;
}
