// Ten minutes of play (18,000 steps) with random input: the module must not crash, its objects
// must stay bounded, and the heap must not grow from the first thousand steps to the last.
#include "IngameFixture.hpp"

#include "game/monsters/Monster.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_ASAN 1
#endif
#endif

#ifdef VELMORA_ASAN
// From the sanitizer run-time (GCC ships no header for it): bytes allocated and not yet freed.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace vrk {
namespace testing {
namespace {

// Bytes the program holds on the heap right now.
std::size_t heapInUse()
{
#ifdef VELMORA_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

constexpr int SoakSteps = 18000;
constexpr int DrawEvery = 30;
constexpr int Window = 1000; // steps compared at each end
constexpr unsigned Seed = 20261207;

// A walled arena around the start cell (51, 37) with the four hunter kinds, two doors with their
// panels, a remote panel, bookshelves and the victory cell; everything else is wall.
TestMap arena()
{
    std::vector<std::string> rows(40, std::string(56, '#'));
    const char* const inside[] = {
        "##################", // row 28, columns 38 .. 55
        "#h......#......x.#", "#.......#........#", "#.......D........#", "#.......#........#",
        "#...y...#....s...#", "#.......O........#", "#.......#........#", "#................#",
        "#................#", "#................#", "##################",
    };
    for (int i = 0; i < 12; ++i)
        rows[28 + i].replace(38, 18, inside[i]);
    TestMap map(rows);
    map.set(EventLayer, 46, 30, 2);  // panel of the door at (46, 31)
    map.set(EventLayer, 46, 35, 2);  // panel of the door at (46, 34)
    map.set(EventLayer, 46, 32, 3);  // books
    map.set(EventLayer, 40, 38, 12); // victory text
    map.set(EventLayer, 44, 35, 13); // remote panel: works the door at (46, 31)
    map.set(EventLayer, 50, 36, 7);  // an event that does nothing
    return map;
}

class Soak : public IngameTest {
protected:
    void send(sf::Event::EventType type, sf::Keyboard::Key key)
    {
        sf::Event event;
        event.type = type;
        event.key = sf::Event::KeyEvent{key, false, false, false, false};
        program->dispatchEvent(event);
    }
    void moveMouse(int x, int y)
    {
        sf::Event event;
        event.type = sf::Event::MouseMoved;
        event.mouseMove = sf::Event::MouseMoveEvent{x, y};
        program->dispatchEvent(event);
    }
    // Screen position of the nearest living hunter and its distance, or false when none lives.
    bool nearestHunter(sf::Vector2f& at, float* distanceOut = nullptr) const
    {
        float best = -1.f;
        for (const auto& monster : game->world().map().monsters) {
            if (monster->life() <= 0)
                continue;
            const sf::Vector2f d = monster->position() - game->player().position();
            const float distance = d.x * d.x + d.y * d.y;
            if (best < 0.f || distance < best) {
                best = distance;
                at = screen(monster->position() + sf::Vector2f(TileSize / 2.f, TileSize / 2.f));
            }
        }
        if (distanceOut)
            *distanceOut = std::sqrt(std::max(best, 0.f));
        return best >= 0.f;
    }
};

TEST_F(Soak, TenMinutesOfRandomPlayStayBoundedAndLeakFree)
{
    for (int i = 0; i < Dialogue::scripts[0].count; ++i) {
        const std::string& key = Dialogue::scripts[0].entries[i].key;
        program->languageDocument().child(key).setString("Words of " + key + " typed out.");
    }
    for (const char* key : {"Victory", "Books", "DoorPanel", "TooFar"})
        program->languageDocument().child(key).setString(key);

    const TestMap map = arena();
    ASSERT_TRUE(startWith(map, true));
    const std::size_t hunters = game->world().map().monsters.size();
    ASSERT_EQ(hunters, 4u);

    std::mt19937 random(Seed);
    auto chance = [&random](double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(random) < p; };
    const sf::Keyboard::Key keys[] = {
        sf::Keyboard::W,    sf::Keyboard::A,    sf::Keyboard::S,     sf::Keyboard::D,      sf::Keyboard::Up,
        sf::Keyboard::Left, sf::Keyboard::Down, sf::Keyboard::Right, sf::Keyboard::LShift, sf::Keyboard::RControl};

    int defeats = 0, victories = 0, frames = 0;
    std::size_t maxBullets = 0, maxSparks = 0, maxTasks = 0;
    std::size_t firstHeap = 0, lastHeap = 0;
    const float mapWidth = static_cast<float>(map.width * TileSize);
    const float mapHeight = static_cast<float>(map.height * TileSize);

    for (int stepIndex = 0; stepIndex < SoakSteps; ++stepIndex) {
        // Keys come and go; about one change every few steps, run keys less often.
        if (chance(0.15)) {
            const unsigned which = random() % 10;
            const sf::Keyboard::Key key = keys[which];
            const bool down = !ProgramProbe::keyDown(*program)[key] && chance(which >= 8 ? 0.3 : 0.6);
            send(down ? sf::Event::KeyPressed : sf::Event::KeyReleased, key);
        }
        // The pointer wanders, and half the time goes after the nearest hunter.
        if (chance(0.2)) {
            sf::Vector2f target;
            if (chance(0.5) && nearestHunter(target))
                moveMouse(static_cast<int>(target.x), static_cast<int>(target.y));
            else
                moveMouse(static_cast<int>(random() % SceneWidth), static_cast<int>(random() % SceneHeight));
        }
        const bool talking = game->dialogue().running();
        // A hunter at arm's length gets struck at (with the attack cursor) most steps.
        sf::Vector2f hunterAt;
        float hunterDistance = 0.f;
        if (!talking && nearestHunter(hunterAt, &hunterDistance) && hunterDistance < 150.f && chance(0.5)) {
            if (program->cursor() != 1)
                click(sf::Mouse::Right, static_cast<int>(hunterAt.x), static_cast<int>(hunterAt.y));
            click(sf::Mouse::Left, static_cast<int>(hunterAt.x), static_cast<int>(hunterAt.y));
        } else if (chance(0.02)) {
            // Now and then a click on one of the arena's event cells, with whatever cursor is up.
            static const sf::Vector2i eventCells[] = {{46, 30}, {46, 35}, {46, 32}, {40, 38}, {44, 35}, {50, 36}};
            const sf::Vector2i cell = eventCells[random() % 6];
            const sf::Vector2f at = screen(centre(cell.x, cell.y));
            click(sf::Mouse::Left, static_cast<int>(at.x), static_cast<int>(at.y));
        } else if (chance(talking ? 0.3 : 0.1))
            click(sf::Mouse::Left, static_cast<int>(program->pointer().x),
                  static_cast<int>(program->pointer().y));
        if (chance(0.01))
            click(sf::Mouse::Right, static_cast<int>(program->pointer().x),
                  static_cast<int>(program->pointer().y));
        if (chance(0.002))
            press(sf::Keyboard::Space); // does nothing while the game goes on

        step();

        // Every defeat and every victory is followed by a restart.
        if (game->player().life() <= 0 || game->victory()) {
            (game->player().life() <= 0 ? defeats : victories) += 1;
            press(sf::Keyboard::Space);
            ASSERT_TRUE(game->isStarted()) << "restart failed at step " << stepIndex;
            ASSERT_EQ(game->player().life(), StartLife);
            ASSERT_EQ(game->world().map().monsters.size(), hunters) << "restart at step " << stepIndex;
            ASSERT_TRUE(game->world().map().bullets.empty());
        }

        if (stepIndex % DrawEvery == 0) {
            game->draw();
            program->scene().display();
            // Read the frame back as presenting it would consume it: a frame nobody reads stays
            // queued in the software renderer, and the heap would measure that queue.
            const sf::Image frame = program->scene().getTexture().copyToImage();
            ASSERT_EQ(frame.getSize().x, static_cast<unsigned>(SceneWidth));
            ++frames;
        }

        // Bounded state, checked every step.
        ASSERT_EQ(game->world().map().monsters.size(), hunters) << "step " << stepIndex;
        ASSERT_LE(game->log().lines().size(), 3u);
        ASSERT_GE(game->player().stamina(), 0);
        ASSERT_LE(game->player().stamina(), MaxStamina);
        ASSERT_LE(game->player().life(), StartLife);
        ASSERT_GE(game->player().walkFrame(), 0);
        ASSERT_LT(game->player().walkFrame(), 16);
        ASSERT_GE(game->player().position().x, 0.f);
        ASSERT_LT(game->player().position().x, mapWidth);
        ASSERT_GE(game->player().position().y, 0.f);
        ASSERT_LT(game->player().position().y, mapHeight);
        for (const auto& monster : game->world().map().monsters)
            ASSERT_TRUE(monster->life() >= 0 && monster->life() <= 100) << "monster life " << monster->life();
        maxBullets = std::max(maxBullets, game->world().map().bullets.size());
        maxSparks = std::max(maxSparks, game->events().sparks().size());
        maxTasks = std::max(maxTasks, game->tasks().size());

        // Heap, sampled after the same kind of step at both ends: the largest of each window.
        if (stepIndex % DrawEvery == 0) {
            const std::size_t heap = heapInUse();
            if (stepIndex < Window)
                firstHeap = std::max(firstHeap, heap);
            else if (stepIndex >= SoakSteps - Window)
                lastHeap = std::max(lastHeap, heap);
        }
    }

    std::printf("soak: %d steps, %d frames, %d defeats, %d victories; at most %zu bullets, %zu sparks, "
                "%zu tasks; heap %zu -> %zu bytes\n",
                SoakSteps, frames, defeats, victories, maxBullets, maxSparks, maxTasks, firstHeap, lastHeap);
    EXPECT_GT(defeats + victories, 0) << "random play never ended a game: the restart path went untried";
    EXPECT_LT(maxBullets, 200u);
    EXPECT_LT(maxSparks, 1000u);
    EXPECT_LT(maxTasks, 100u);
    // Restarts reload every resource; what they leave behind would pile up over the run.
    EXPECT_LT(lastHeap, firstHeap + 2 * 1024 * 1024) << "heap grew from " << firstHeap << " to " << lastHeap;
}

} // namespace
} // namespace testing
} // namespace vrk
