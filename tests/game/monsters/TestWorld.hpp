#pragma once
// A small walled map in map slot 0 of an in-game module that was never started, so monsters,
// bullets, events and dialogue can be driven step by step without the shipped content.

#include "MonsterProbe.hpp"

#include "game/Identifiers.hpp"
#include "game/Ingame.hpp"
#include "game/Tuning.hpp"
#include "game/monsters/Hunter.hpp"
#include "shell/Program.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace vrk {
namespace testing {

class TestWorld : public ::testing::Test {
protected:
    static constexpr int Columns = 20;
    static constexpr int Rows = 12;

    void SetUp() override
    {
        // The game's first rules, which these tests check.
        program.settings().difficulty = Difficulty::Classic;
        game = std::make_unique<Ingame>(program);
        makeMap(Columns, Rows, true);
        game->player().restart();
        // Far outside the map: no hunter sees it and no bullet reaches it unless a test says so.
        game->player().placeAt(sf::Vector2f(10000.0f, 10000.0f));
    }

    MapRecord& map() { return game->world().slot(0); }
    // The player's life set through its own operation.
    void setLife(int life) { game->player().hurt(game->player().life() - life); }

    void makeMap(int width, int height, bool walled)
    {
        MapRecord& record = map();
        record.width = width;
        record.height = height;
        for (std::vector<int>& layer : record.layers)
            layer.assign(static_cast<std::size_t>(width) * height, 0);
        record.explored.assign(static_cast<std::size_t>(width) * height, 0);
        if (!walled)
            return;
        for (int x = 0; x < width; ++x) {
            setWall(x, 0, WallCell);
            setWall(x, height - 1, WallCell);
        }
        for (int y = 0; y < height; ++y) {
            setWall(0, y, WallCell);
            setWall(width - 1, y, WallCell);
        }
    }

    void setWall(int column, int row, int value) { setLayer(WallLayer, column, row, value); }
    int layerValue(int layer, int column, int row) { return map().layers[layer][row * map().width + column]; }
    void setLayer(int layer, int column, int row, int value)
    {
        map().layers[layer][row * map().width + column] = value;
    }

    // Adds a monster to the map, owned by it like the loader's.
    template <typename Kind>
    Kind& add(float x, float y, double heading = 90.0)
    {
        Kind* monster = new Kind(*game, sf::Vector2f(x, y), heading);
        map().monsters.emplace_back(monster);
        return *monster;
    }
    Hunter& add(HunterKind kind, float x, float y, double heading = 90.0)
    {
        Hunter* hunter = new Hunter(*game, sf::Vector2f(x, y), heading, kind);
        map().monsters.emplace_back(hunter);
        return *hunter;
    }

    Program program;
    std::unique_ptr<Ingame> game;
};

} // namespace testing
} // namespace vrk
