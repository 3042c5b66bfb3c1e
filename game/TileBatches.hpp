#pragma once

#include "game/World.hpp"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <functional>
#include <vector>

namespace vrk {

// The tile layers as vertex arrays, one per drawn layer, in map coordinates. A batch is rebuilt
// only when the visible cells change (the camera moved on by a cell) or a tile in them changed
// (a door); between rebuilds a frame only moves it by the camera.
class TileBatches {
public:
    // Draws the layer's tiles over the range; `shown` picks the cells worth drawing (the rest
    // lie under unbroken darkness). Consecutive shown cells of a row go in one draw. Tiles that
    // `opaque` lists (by tile value) are copied without blending, which gives the same pixels
    // for less work.
    void draw(sf::RenderTarget& target, const MapRecord& map, int layer, const CellRange& range, sf::Vector2f camera,
              const sf::Texture& sheet, const std::function<bool(int column, int row)>& shown,
              const std::vector<bool>& opaque);
    // Draws opaque tiles from a copy of their sheet in the window's byte order, which a
    // software renderer copies rather than shades (same pixels) when the camera stands on whole
    // pixels; on by default. The copy is taken again only when another texture, or one of
    // another size, is drawn: a sheet's texels must not change in place (the game loads each
    // sheet from its file).
    void copyOpaqueTiles(bool copy) { copyOpaque = copy; }
    // How many times a layer's batch was built (for tests).
    unsigned builds(int layer) const { return batchFor(layer) ? batchFor(layer)->builds : 0; }

private:
    // Opaque tiles and the others, each with its vertices in cell order.
    enum Kind { Blended = 0, Opaque = 1, KindCount = 2 };
    struct Batch {
        sf::VertexArray vertices[KindCount]{sf::VertexArray(sf::Triangles), sf::VertexArray(sf::Triangles)};
        CellRange range{0, 0, -1, -1};
        std::vector<int> values;                     // the layer over range when built, row by row
        std::vector<std::size_t> firstOf[KindCount]; // per cell of range (and one past): first vertex
        std::vector<bool> opaque;                    // the opacity table it was built with
        unsigned builds = 0;
    };
    static constexpr int DrawnLayers = 3; // ground, objects, ceiling

    Batch* batchFor(int layer);
    const Batch* batchFor(int layer) const;
    void build(Batch& batch, const MapRecord& map, int layer, const CellRange& range, const std::vector<bool>& opaque);

    // Per layer, the sheet of its opaque tiles in the window's byte order, and what it was
    // taken from.
    struct OpaqueSheet {
        sf::Texture copy;
        unsigned from = 0; // OpenGL name
        sf::Vector2u size;
        bool usable = false;
    };
    const sf::Texture* opaqueSheet(sf::RenderTarget& target, int layer, const sf::Texture& sheet);

    Batch batches[DrawnLayers];
    bool copyOpaque = true;
    OpaqueSheet copied[DrawnLayers];
    sf::Shader fetch;
    bool fetchTried = false;
    bool fetchUsable = false;
};

} // namespace vrk
