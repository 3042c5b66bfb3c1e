#pragma once
// The fog of war drawn literally, one rectangle per sample of every ray: far too slow for the
// game, kept as the reference its batched drawing is compared with (tests and benchmark).

#include "game/Ingame.hpp"
#include "game/Tuning.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>

#include <cmath>

namespace vrk {
namespace testing {

inline void drawLiteralFog(Ingame& game, sf::RenderTexture& fog)
{
    const sf::RenderStates replace(sf::BlendNone);
    MapRecord& map = game.world().map();
    const CellRange range = game.visibleCells();
    fog.clear(sf::Color::Black);

    sf::RectangleShape cell(sf::Vector2f(TileSize, TileSize));
    cell.setFillColor(sf::Color(0, 0, 0, 128));
    for (int y = range.y0; y <= range.y1; ++y)
        for (int x = range.x0; x <= range.x1; ++x)
            if (map.explored[static_cast<std::size_t>(y) * map.width + x] != 0) {
                cell.setPosition(static_cast<float>(x * TileSize) - game.world().camera().x,
                                 static_cast<float>(y * TileSize) - game.world().camera().y);
                fog.draw(cell, replace);
            }

    const double a0 = game.player().facing() + Pi - game.light().halfFieldOfView();
    const double a1 = game.player().facing() + Pi + game.light().halfFieldOfView();
    const double step = (a1 - a0) / (game.light().viewDistance() * 1.5);
    sf::RectangleShape ray;
    ray.setFillColor(sf::Color(0, 0, 0, 0));
    ray.setOrigin(0.f, 1.f);
    ray.setPosition(game.player().position() - game.world().camera());
    cell.setFillColor(sf::Color(0, 0, 0, 0));
    for (double a = a0; a < a1; a += step) {
        for (double d = 0.0; d < game.light().viewDistance(); d += 60.0) {
            ray.setSize(sf::Vector2f(static_cast<float>(d), 1.f));
            ray.setRotation(static_cast<float>(a * 180.0 / 3.1415927));
            fog.draw(ray, replace);
            const int column = cellOf(game.player().position().x + d * std::cos(a));
            const int row = cellOf(game.player().position().y + d * std::sin(a));
            if (!map.contains(column, row))
                break;
            const int wall = map.value(WallLayer, column, row);
            if (wall == WallCell || wall == ClosedDoor) {
                map.explored[static_cast<std::size_t>(row) * map.width + column] = 1;
                cell.setPosition(static_cast<float>(column * TileSize) - game.world().camera().x,
                                 static_cast<float>(row * TileSize) - game.world().camera().y);
                fog.draw(cell, replace);
                break;
            }
        }
    }
    fog.display();
}

} // namespace testing
} // namespace vrk
