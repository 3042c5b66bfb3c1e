#include "game/Ingame.hpp"

#include "game/monsters/Hunter.hpp"
#include "game/monsters/HunterH.hpp"
#include "game/monsters/HunterSquare.hpp"
#include "game/monsters/HunterV.hpp"
#include "shell/Program.hpp"
#include "tavric/model/Tavric.hpp"

#include <algorithm>
#include <climits>
#include <iostream>

namespace vrk {

namespace {
// Far beyond any map the game ships; keeps width x height and the scene coordinates of every
// cell well inside int and float precision.
constexpr long long MaxMapSide = 1000;
constexpr double MonsterHeading = 90.0;

bool incorrectMap(int column, int row)
{
    std::cout << "Map format is incorrect " << column << row << std::endl;
    return false;
}

std::unique_ptr<Monster> makeMonster(long long code, Program* program, Ingame* game, sf::Vector2f position)
{
    switch (code) {
    case HunterCode:
        return std::make_unique<Hunter>(program, game, position, MonsterHeading);
    case HunterHCode:
        return std::make_unique<HunterH>(program, game, position, MonsterHeading);
    case HunterVCode:
        return std::make_unique<HunterV>(program, game, position, MonsterHeading);
    case HunterSquareCode:
        return std::make_unique<HunterSquare>(program, game, position, MonsterHeading);
    default:
        return nullptr;
    }
}
} // namespace

bool Ingame::loadMaps(zul::Tavric& mapsField, unsigned& progress)
{
    int slot = 0;
    int ignored = 0;
    for (auto it = mapsField.childrenBegin(zul::publicUser); it != mapsField.childrenEnd(); ++it) {
        if (slot >= MaxMaps) {
            ++ignored;
            continue;
        }
        if (!loadMap(*it->second, maps[slot], progress))
            return false;
        ++slot;
    }
    if (ignored > 0)
        std::cout << "Only the first " << MaxMaps << " maps under \"Maps\" are loaded; " << ignored << " more ignored."
                  << std::endl;
    return true;
}

bool Ingame::loadMap(zul::Tavric& field, MapRecord& record, unsigned& progress)
{
    zul::Tavric& layersField = field.child("Layers", zul::publicUser);
    reportProgress(progress);
    const long long width = field.child("Width", zul::publicUser).getInt(zul::publicUser);
    const long long height = field.child("Height", zul::publicUser).getInt(zul::publicUser);
    if (width < 0 || height < 0 || width > MaxMapSide || height > MaxMapSide) {
        std::cout << "Map format is incorrect: Width and Height must lie between 0 and " << MaxMapSide << "."
                  << std::endl;
        return false;
    }
    record.width = static_cast<int>(width);
    record.height = static_cast<int>(height);
    const std::size_t cells = static_cast<std::size_t>(width * height);
    record.explored.resize(cells, 0);

    auto child = layersField.childrenBegin(zul::publicUser);
    const auto end = layersField.childrenEnd();
    for (int i = 0; i < LayerCount; ++i) {
        std::vector<int>& layer = record.layers[i];
        if (i != MonsterLayer)
            layer.assign(cells, 0);
        if (child == end)
            continue;
        zul::Tavric& layerField = *child->second;
        ++child;
        for (int y = 0; y < record.height; ++y) {
            for (int x = 0; x < record.width; ++x) {
                const std::size_t index = static_cast<std::size_t>(y) * record.width + x;
                zul::Tavric* element = layerField.childAt(index);
                if (!element)
                    return incorrectMap(x, y);
                const long long code = element->getInt(zul::publicUser);
                if (i == MonsterLayer) {
                    const sf::Vector2f position(static_cast<float>(x * TileSize), static_cast<float>(y * TileSize));
                    if (std::unique_ptr<Monster> monster = makeMonster(code, program, this, position))
                        record.monsters.push_back(std::move(monster));
                } else {
                    const long long value = code <= 0 ? 0 : code - static_cast<long long>(LayerCodeStride) * i;
                    layer[index] = static_cast<int>(std::clamp<long long>(value, 0, INT_MAX));
                }
            }
        }
    }
    return true;
}

} // namespace vrk
