// Full in-game frames of the shipped map on the machine's OpenGL: the fog of war drawn literally
// (one rectangle per ray sample) against the game's batched fog, and whole frames
// (update + draw + present). Run from anywhere under a display; it works in the run directory.
#include "game/Ingame.hpp"
#include "shell/Program.hpp"
#include "tests/game/LiteralFog.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

using namespace vrk;
using Clock = std::chrono::steady_clock;

// Drawing is queued; a time means something only once the renderer has finished the work.
void finishDrawing(sf::RenderTarget& target)
{
    using Finish = void (*)();
    static const Finish glFinish = reinterpret_cast<Finish>(dlsym(RTLD_DEFAULT, "glFinish"));
    target.setActive(true);
    if (glFinish)
        glFinish();
}

struct Session {
    Session()
    {
        if (chdir(VELMORA_RUN_DIR) != 0)
            return;
        program = std::make_unique<Program>();
        program->options["StartState"] = "ingame";
        program->options["Sound"] = "False";
        ready = program->load();
        game = ready ? static_cast<Ingame*>(program->modules[IngameState]) : nullptr;
        ready = ready && game && game->started;
        if (ready)
            game->tasks.clear(); // no opening conversation in the way
    }
    // A different view each frame: the player turns round the start position.
    void look(std::size_t frame)
    {
        game->facingAngle = -3.14159265 + static_cast<double>(frame % 40) * 0.157;
    }
    void compose()
    {
        program->sceneTexture.draw(sf::Sprite(game->fogTexture.getTexture()));
        finishDrawing(game->fogTexture);
        finishDrawing(program->sceneTexture);
    }

    std::unique_ptr<Program> program;
    Ingame* game = nullptr;
    bool ready = false;
};

Session& session()
{
    static Session shared;
    return shared;
}

std::vector<double> literalTimes, batchedTimes, frameTimes;

double milliseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

void LiteralFog(benchmark::State& state)
{
    Session& s = session();
    if (!s.ready) {
        state.SkipWithError("the game could not start from the run directory");
        return;
    }
    std::size_t frame = 0;
    for (auto _ : state) {
        s.look(frame++);
        const auto start = Clock::now();
        testing::drawLiteralFog(*s.game, s.game->fogTexture);
        s.compose();
        const double time = milliseconds(start, Clock::now());
        literalTimes.push_back(time);
        state.SetIterationTime(time / 1000.0);
    }
}

void BatchedFog(benchmark::State& state)
{
    Session& s = session();
    if (!s.ready) {
        state.SkipWithError("the game could not start from the run directory");
        return;
    }
    std::size_t frame = 0;
    for (auto _ : state) {
        s.look(frame++);
        const auto start = Clock::now();
        s.game->drawFog();
        finishDrawing(s.game->fogTexture);
        finishDrawing(s.program->sceneTexture);
        const double time = milliseconds(start, Clock::now());
        batchedTimes.push_back(time);
        state.SetIterationTime(time / 1000.0);
    }
}

void WholeFrame(benchmark::State& state)
{
    Session& s = session();
    if (!s.ready) {
        state.SkipWithError("the game could not start from the run directory");
        return;
    }
    std::size_t frame = 0;
    for (auto _ : state) {
        // The pointer circles the player, so the light sweeps the map as in play.
        const float angle = static_cast<float>(frame++ % 40) * 0.157f;
        s.program->mousePosition = sf::Vector2f(960.f + 400.f * std::cos(angle), 540.f + 400.f * std::sin(angle));
        const auto start = Clock::now();
        s.program->runPass(s.program->frameTime);
        finishDrawing(s.program->window);
        const double time = milliseconds(start, Clock::now());
        frameTimes.push_back(time);
        state.SetIterationTime(time / 1000.0);
    }
}

BENCHMARK(LiteralFog)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BatchedFog)->UseManualTime()->Iterations(120)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeFrame)->UseManualTime()->Iterations(120)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double literal = median(literalTimes);
    const double batched = median(batchedTimes);
    std::printf("median fog, literal:  %8.2f ms over %zu frames\n", literal, literalTimes.size());
    std::printf("median fog, batched:  %8.2f ms over %zu frames\n", batched, batchedTimes.size());
    if (batched > 0.0)
        std::printf("fog speed-up:         %8.1f x\n", literal / batched);
    std::printf("median whole frame:   %8.2f ms over %zu frames (update + draw + present)\n",
                median(frameTimes), frameTimes.size());
    return 0;
}
