#include "game/MapRecord.hpp"

#include "game/monsters/Monster.hpp"

#include <cmath>

namespace vrk {

int cellOf(double coordinate)
{
    const double cell = std::floor(coordinate / TileSize);
    // Far-off or non-finite coordinates land outside every map rather than in an int overflow.
    if (!(cell > -1e9 && cell < 1e9))
        return -1;
    return static_cast<int>(cell);
}

MapRecord::MapRecord() = default;

MapRecord::~MapRecord() = default;

bool MapRecord::contains(int column, int row) const
{
    return column >= 0 && row >= 0 && column < width && row < height;
}

int MapRecord::value(int layer, int column, int row) const
{
    if (layer < 0 || layer >= LayerCount || !contains(column, row))
        return 0;
    const std::vector<int>& cells = layers[layer];
    const std::size_t index =
        static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column);
    return index < cells.size() ? cells[index] : 0;
}

void MapRecord::setValue(int layer, int column, int row, int value)
{
    if (layer < 0 || layer >= LayerCount || !contains(column, row))
        return;
    std::vector<int>& cells = layers[layer];
    const std::size_t index =
        static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column);
    if (index < cells.size())
        cells[index] = value;
}

bool MapRecord::blocked(int column, int row) const
{
    if (!contains(column, row))
        return true;
    const int wall = value(WallLayer, column, row);
    return wall == WallCell || wall == ClosedDoor || wall == WindowCell;
}

bool MapRecord::blockedAt(sf::Vector2f position) const
{
    return blocked(cellOf(position.x), cellOf(position.y));
}

int MapRecord::wallAt(sf::Vector2f position) const
{
    return value(WallLayer, cellOf(position.x), cellOf(position.y));
}

bool MapRecord::isExplored(int column, int row) const
{
    if (!contains(column, row))
        return false;
    const std::size_t index = static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + column;
    return index < explored.size() && explored[index] != 0;
}

void MapRecord::markExplored(int column, int row)
{
    if (!contains(column, row))
        return;
    const std::size_t index = static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + column;
    if (index < explored.size())
        explored[index] = 1;
}

void MapRecord::clearObjects()
{
    monsters.clear();
    bullets.clear();
}

} // namespace vrk
