// Parses a document shaped like the game's maps (one map, 6 layers of 256 x 256 integers) as Tavric
// and the same data as JSON with nlohmann::json, and prints the times, their ratio and the heap each
// keeps per integer element. Goals: Tavric at most 0.8 times JSON's time, at most 48 bytes per element.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include <malloc.h>
#include <nlohmann/json.hpp>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"

// ---- heap accounting: every allocation of the process goes through these ----
namespace {

std::size_t liveBytes = 0;
std::size_t liveBlocks = 0;

} // namespace

void* hookedAllocate(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block)
        return nullptr;
    // What the allocator really holds: the usable size plus its 8-byte chunk header.
    liveBytes += malloc_usable_size(block) + sizeof(std::size_t);
    ++liveBlocks;
    return block;
}

void hookedRelease(void* block) noexcept
{
    if (!block)
        return;
    liveBytes -= malloc_usable_size(block) + sizeof(std::size_t);
    --liveBlocks;
    std::free(block);
}

#include "../tests/tavric/ReplacedAllocation.hpp"

namespace {

constexpr int mapSide = 256;
constexpr int layerCount = 6;
constexpr int elementCount = mapSide * mapSide * layerCount;
constexpr int rounds = 5;
constexpr double maxTimeRatio = 0.8;
constexpr double maxBytesPerElement = 48.0;

// Tile codes of layer i lie in 180i+1 .. 180i+180; 0 is common (empty cells).
int code(int layer, int index)
{
    const unsigned mixed = static_cast<unsigned>(index) * 2654435761u + static_cast<unsigned>(layer) * 40503u;
    const int tile = static_cast<int>((mixed >> 16) % 200);
    return tile >= 180 ? 0 : 180 * layer + tile + 1;
}

std::string tavricDocument(int perLine)
{
    std::string text = "[Maps\n  [Map0\n    Width = 256\n    Height = 256\n    [Layers\n";
    for (int layer = 0; layer < layerCount; ++layer) {
        text += "      L" + std::to_string(layer) + " = [Collection (" + std::to_string(perLine) + ")\n";
        for (int i = 0; i < mapSide * mapSide; ++i) {
            if (i % perLine == 0)
                text += "        ";
            text += std::to_string(code(layer, i));
            text += (i + 1) % perLine == 0 ? '\n' : ' ';
        }
        text += "      ]\n";
    }
    text += "    ]\n  ]\n]\n";
    return text;
}

std::string jsonDocument(int perLine)
{
    std::string text = "{\"Maps\": {\"Map0\": {\"Width\": 256, \"Height\": 256, \"Layers\": {\n";
    for (int layer = 0; layer < layerCount; ++layer) {
        text += "\"L" + std::to_string(layer) + "\": [\n";
        for (int i = 0; i < mapSide * mapSide; ++i) {
            text += std::to_string(code(layer, i));
            if (i + 1 < mapSide * mapSide)
                text += (i + 1) % perLine == 0 ? ",\n" : ", ";
        }
        text += layer + 1 < layerCount ? "],\n" : "]\n";
    }
    text += "}}}}\n";
    return text;
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

struct Figures {
    double milliseconds = 1e300;
    double bytesPerElement = 0.0;
};

Figures measureTavric(const std::string& text)
{
    Figures figures;
    zul::NameDictionary names;
    for (int round = 0; round < rounds; ++round) {
        const std::size_t before = liveBytes;
        auto* root = new zul::Tavric(&names);
        const auto start = std::chrono::steady_clock::now();
        const bool accepted = zul::parse(*root, text).accepted;
        figures.milliseconds = std::min(figures.milliseconds, millisecondsSince(start));
        figures.bytesPerElement = static_cast<double>(liveBytes - before) / elementCount;
        // The layers really hold what was written.
        const zul::Tavric& layer = (*root)["Maps"]["Map0"]["Layers"]["L5"];
        if (!accepted || layer.getCollection() == nullptr || layer.getCollection()->size() != mapSide * mapSide ||
            layer.childAt(77)->getInt() != code(5, 77)) {
            std::fprintf(stderr, "Tavric parse failed\n");
            for (const std::string& line : root->messages())
                std::fputs(line.c_str(), stderr);
            std::exit(1);
        }
        delete root;
    }
    return figures;
}

Figures measureJson(const std::string& text)
{
    Figures figures;
    for (int round = 0; round < rounds; ++round) {
        const std::size_t before = liveBytes;
        auto* document = new nlohmann::json;
        const auto start = std::chrono::steady_clock::now();
        *document = nlohmann::json::parse(text);
        figures.milliseconds = std::min(figures.milliseconds, millisecondsSince(start));
        figures.bytesPerElement = static_cast<double>(liveBytes - before) / elementCount;
        if ((*document)["Maps"]["Map0"]["Layers"]["L5"][77].get<int>() != code(5, 77)) {
            std::fprintf(stderr, "JSON parse failed\n");
            std::exit(1);
        }
        delete document;
    }
    return figures;
}

} // namespace

int main()
{
    std::printf("Map document: %d layers of %d x %d integers (%d elements), best of %d rounds\n", layerCount, mapSide,
                mapSide, elementCount, rounds);
    bool met = true;
    for (int perLine : {16, 256}) {
        const std::string tavric = tavricDocument(perLine);
        const std::string json = jsonDocument(perLine);
        const Figures t = measureTavric(tavric);
        const Figures j = measureJson(json);
        const double ratio = t.milliseconds / j.milliseconds;
        std::printf("\n%d values per line: Tavric text %zu bytes, JSON text %zu bytes\n", perLine, tavric.size(),
                    json.size());
        std::printf("  Tavric parse     %8.2f ms   %7.1f bytes per element\n", t.milliseconds, t.bytesPerElement);
        std::printf("  nlohmann::json   %8.2f ms   %7.1f bytes per element\n", j.milliseconds, j.bytesPerElement);
        std::printf("  time ratio Tavric / JSON: %.2f (goal: at most %.1f)\n", ratio, maxTimeRatio);
        std::printf("  bytes per element ratio Tavric / JSON: %.2f (goal: at most %.0f bytes per element)\n",
                    t.bytesPerElement / j.bytesPerElement, maxBytesPerElement);
        met = met && ratio <= maxTimeRatio && t.bytesPerElement <= maxBytesPerElement;
    }
    std::printf("\nGoals %s\n", met ? "met" : "NOT met");
    return 0;
}
