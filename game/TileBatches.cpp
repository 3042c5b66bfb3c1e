#include "game/TileBatches.hpp"

#include "shell/SceneCopy.hpp"

#include <cmath>

namespace vrk {

namespace {
bool sameRange(const CellRange& a, const CellRange& b)
{
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}
} // namespace

TileBatches::Batch* TileBatches::batchFor(int layer)
{
    return layer >= 0 && layer < DrawnLayers ? &batches[layer] : nullptr;
}

const TileBatches::Batch* TileBatches::batchFor(int layer) const
{
    return layer >= 0 && layer < DrawnLayers ? &batches[layer] : nullptr;
}

void TileBatches::build(Batch& batch, const MapRecord& map, int layer, const CellRange& range,
                        const std::vector<bool>& opaque)
{
    for (int kind = 0; kind < KindCount; ++kind) {
        batch.vertices[kind].clear();
        batch.firstOf[kind].clear();
    }
    batch.values.clear();
    batch.range = range;
    batch.opaque = opaque;
    ++batch.builds;
    const float size = static_cast<float>(TileSize);
    for (int y = range.y0; y <= range.y1; ++y) {
        for (int x = range.x0; x <= range.x1; ++x) {
            const int v = map.value(layer, x, y);
            batch.values.push_back(v);
            for (int kind = 0; kind < KindCount; ++kind)
                batch.firstOf[kind].push_back(batch.vertices[kind].getVertexCount());
            if (v < 1)
                continue;
            const bool solid = static_cast<std::size_t>(v) < opaque.size() && opaque[static_cast<std::size_t>(v)];
            sf::VertexArray& vertices = batch.vertices[solid ? Opaque : Blended];
            const float left = static_cast<float>(x * TileSize);
            const float top = static_cast<float>(y * TileSize);
            const float u = static_cast<float>((v - 1) % TileSheetColumns * TileSize);
            const float t = static_cast<float>((v - 1) / TileSheetColumns * TileSize);
            const sf::Vertex a({left, top}, {u, t});
            const sf::Vertex b({left + size, top}, {u + size, t});
            const sf::Vertex c({left + size, top + size}, {u + size, t + size});
            const sf::Vertex d({left, top + size}, {u, t + size});
            for (const sf::Vertex& corner : {a, b, c, a, c, d})
                vertices.append(corner);
        }
    }
    for (int kind = 0; kind < KindCount; ++kind)
        batch.firstOf[kind].push_back(batch.vertices[kind].getVertexCount());
}

const sf::Texture* TileBatches::opaqueSheet(sf::RenderTarget& target, int layer, const sf::Texture& sheet)
{
    if (!copyOpaque || !target.setActive(true))
        return nullptr;
    if (!fetchTried) {
        fetchTried = true;
        fetchUsable = SceneCopy::loadFetchShader(fetch);
    }
    if (!fetchUsable)
        return nullptr;
    OpaqueSheet& copy = copied[layer];
    if (copy.from != sheet.getNativeHandle() || copy.size != sheet.getSize()) {
        copy.from = sheet.getNativeHandle();
        copy.size = sheet.getSize();
        copy.usable = SceneCopy::copyInWindowLayout(sheet, copy.copy);
    }
    return copy.usable ? &copy.copy : nullptr;
}

void TileBatches::draw(sf::RenderTarget& target, const MapRecord& map, int layer, const CellRange& range,
                       sf::Vector2f camera, const sf::Texture& sheet,
                       const std::function<bool(int column, int row)>& shown, const std::vector<bool>& opaque)
{
    Batch* batch = batchFor(layer);
    if (!batch || range.x1 < range.x0 || range.y1 < range.y0)
        return;
    bool current = sameRange(batch->range, range) && batch->opaque == opaque;
    // A door's tile changes on the map itself: compare what the batch was built from.
    for (int y = range.y0, i = 0; current && y <= range.y1; ++y)
        for (int x = range.x0; current && x <= range.x1; ++x, ++i)
            current = batch->values[static_cast<std::size_t>(i)] == map.value(layer, x, y);
    if (!current)
        build(*batch, map, layer, range, opaque);

    sf::RenderStates states[KindCount] = {sf::RenderStates(&sheet), sf::RenderStates(&sheet)};
    states[Opaque].blendMode = sf::BlendNone;
    // The renderer copies only whole pixels; at a fractional camera the texels are shaded.
    const bool wholePixels = camera.x == std::floor(camera.x) && camera.y == std::floor(camera.y);
    const bool anyOpaque = batch->vertices[Opaque].getVertexCount() > 0;
    if (const sf::Texture* copy = anyOpaque && wholePixels ? opaqueSheet(target, layer, sheet) : nullptr) {
        states[Opaque].texture = copy;
        states[Opaque].shader = &fetch;
    }
    for (sf::RenderStates& state : states)
        state.transform.translate(-camera);
    const int width = range.x1 - range.x0 + 1;
    for (int y = range.y0; y <= range.y1; ++y) {
        const std::size_t rowStart = static_cast<std::size_t>(y - range.y0) * width;
        for (int x = range.x0; x <= range.x1;) {
            if (!shown(x, y)) {
                ++x;
                continue;
            }
            const int first = x;
            while (x <= range.x1 && shown(x, y))
                ++x;
            for (int kind = 0; kind < KindCount; ++kind) {
                const std::size_t from = batch->firstOf[kind][rowStart + (first - range.x0)];
                const std::size_t to = batch->firstOf[kind][rowStart + (x - range.x0)];
                if (to > from)
                    target.draw(&batch->vertices[kind][from], to - from, sf::Triangles, states[kind]);
            }
        }
    }
}

} // namespace vrk
