#pragma once
// An in-game module started on a small test map with stand-in resources, driven step by step.

#include "game/Identifiers.hpp"
#include "game/Ingame.hpp"
#include "game/Tuning.hpp"
#include "shell/Program.hpp"
#include "tests/shell/ProgramProbe.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vrk {
namespace testing {

// Writes small stand-ins for every resource the module loads, once per test process, and
// returns their directory (with a trailing slash). Sounds are a few seconds of silence.
const std::string& testResourceDirectory();

// A map as a document holds it. Rows are drawn with: '.' floor, '#' wall, 'D' closed door,
// 'O' open door, 'h' turning Hunter, 'x' one patrolling along x, 'y' along y, 's' round a
// rectangle (monsters on floor).
struct TestMap {
    explicit TestMap(const std::vector<std::string>& rows);
    TestMap(int width, int height);

    // Stored values, turned into document codes by write.
    void set(int layer, int column, int row, int value) { layers[layer][row * width + column] = value; }
    void setCode(int layer, int column, int row, int code) { codes[layer][row * width + column] = code; }
    // Writes Width, Height, the six layers (L0 .. L5) and the start cell if any under field.
    void write(zul::Tavric& field) const;

    int width;
    int height;
    // The map's own start cell (column, row), written as "Start" when set.
    std::optional<sf::Vector2i> start;
    std::vector<int> layers[LayerCount];
    // Raw codes that override the stored values when not 0 (for out-of-range and foreign codes).
    std::vector<int> codes[LayerCount];
};

// A walled room of that size with a turning and a patrolling Hunter walled up in its top corners (alive,
// out of sight and reach): a game that is neither won nor lost while they stand.
TestMap roomWithWalledUpHunters(int width, int height);

// Steps of the shortest walk (4 neighbours, over free floor) from a cell to every cell of the
// map, row by row; -1 where no walk goes. With throughDoors, closed doors count as open.
std::vector<int> walkingSteps(const MapRecord& map, sf::Vector2i from, bool throughDoors = false);

// Appends a collection of integers as the child `name` of field.
void writeCollection(zul::Tavric& field, const std::string& name, const std::vector<long long>& values);

class IngameTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Puts the map into the configuration under "Maps" / "M0" and starts the module without a
    // loading screen; the opening conversation is dropped unless keepOpening.
    bool startWith(const TestMap& map, bool keepOpening = false);
    void step(int count = 1);
    // The player's life set through its own operation.
    void setLife(int life) { game->player().hurt(game->player().life() - life); }
    void hold(sf::Keyboard::Key key, bool down = true) { ProgramProbe::keyDown(*program)[key] = down; }
    void press(sf::Keyboard::Key key);
    void click(sf::Mouse::Button button, int x, int y);
    // Screen position of a scene position.
    sf::Vector2f screen(sf::Vector2f scene) const { return scene - game->world().camera(); }
    // Puts the mouse pointer at a scene position.
    void pointAt(sf::Vector2f scene) { ProgramProbe::mousePosition(*program) = screen(scene); }
    static sf::Vector2f centre(int column, int row)
    {
        return sf::Vector2f(column * TileSize + TileSize / 2.f, row * TileSize + TileSize / 2.f);
    }

    std::unique_ptr<Program> program;
    Ingame* game = nullptr; // owned by the program
};

// The game started on the shipped configuration and resources of the run directory; skipped
// where the content was not generated.
class ShippedGameTest : public IngameTest {
protected:
    void SetUp() override;
};

} // namespace testing
} // namespace vrk
