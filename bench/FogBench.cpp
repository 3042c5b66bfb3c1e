// Full in-game frames of the shipped map on the machine's OpenGL: the fog of war drawn literally
// (one rectangle per ray sample) against the game's batched fog, and whole frames
// (update + draw + present). Run from anywhere under a display; it works in the run directory.
#include "game/Ingame.hpp"
#include "shell/GameModules.hpp"
#include "shell/Program.hpp"
#include "tests/game/LiteralFog.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <dlfcn.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

using namespace vrk;
using Clock = std::chrono::steady_clock;

// CPU time of the whole process, the renderer's worker threads included: on a busy machine the
// wall time grows with the other processes' load, this does not.
double processCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Sample {
    double wall;
    double cpu;
};

struct Stopwatch {
    Clock::time_point wallStart = Clock::now();
    double cpuStart = processCpuMilliseconds();
    Sample read() const
    {
        return {std::chrono::duration<double, std::milli>(Clock::now() - wallStart).count(),
                processCpuMilliseconds() - cpuStart};
    }
};

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
        registerGameModules(*program);
        ready = program->load();
        game = ready ? static_cast<Ingame*>(program->module(IngameState)) : nullptr;
        ready = ready && game && game->isStarted();
        if (ready)
            game->tasks().clear(); // no opening conversation in the way
    }
    // A different view each frame: the player turns round the start position.
    void look(std::size_t frame) { game->player().face(-Pi + static_cast<double>(frame % 40) * 0.157); }
    void compose()
    {
        program->sceneTexture.draw(sf::Sprite(game->light().referenceTexture().getTexture()));
        finishDrawing(game->light().referenceTexture());
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

std::vector<Sample> literalTimes, batchedTimes, frameTimes;

double median(const std::vector<Sample>& samples, double Sample::*part)
{
    std::vector<double> values;
    for (const Sample& sample : samples)
        values.push_back(sample.*part);
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

void record(benchmark::State& state, std::vector<Sample>& samples, const Stopwatch& watch)
{
    const Sample sample = watch.read();
    samples.push_back(sample);
    state.SetIterationTime(sample.wall / 1000.0);
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
        const Stopwatch watch;
        testing::drawLiteralFog(*s.game, s.game->light().referenceTexture());
        s.compose();
        record(state, literalTimes, watch);
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
        const Stopwatch watch;
        s.game->drawFog();
        finishDrawing(s.game->light().referenceTexture());
        finishDrawing(s.program->sceneTexture);
        record(state, batchedTimes, watch);
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
        const Stopwatch watch;
        s.program->runPass(s.program->frameTime);
        finishDrawing(s.program->window);
        record(state, frameTimes, watch);
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
    std::printf("medians, wall time and process CPU time (all renderer threads):\n");
    const auto line = [](const char* what, const std::vector<Sample>& samples) {
        std::printf("  %-34s %8.2f ms wall %8.2f ms CPU  (%zu frames)\n", what, median(samples, &Sample::wall),
                    median(samples, &Sample::cpu), samples.size());
    };
    line("fog, literal (one draw per sample)", literalTimes);
    line("fog, the game's batch", batchedTimes);
    const double batchedWall = median(batchedTimes, &Sample::wall);
    const double batchedCpu = median(batchedTimes, &Sample::cpu);
    if (batchedWall > 0.0 && batchedCpu > 0.0)
        std::printf("  %-34s %8.1f x wall %8.1f x CPU\n", "fog speed-up",
                    median(literalTimes, &Sample::wall) / batchedWall, median(literalTimes, &Sample::cpu) / batchedCpu);
    line("whole frame (update, draw, present)", frameTimes);
    return 0;
}
