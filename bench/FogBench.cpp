// Full in-game frames of the shipped map on the machine's OpenGL: the fog of war drawn literally
// (one rectangle per ray sample) and as the previous thin-line batch, against the game's filled
// fan; whole frames (update + draw + present); and a frame's breakdown by stage. Run from
// anywhere under a display; it works in the run directory.
#include "tests/game/LiteralFog.hpp"
#include "tests/shell/ProgramProbe.hpp"

#include "FrameClock.hpp"
#include "PreviousFog.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace vrk;
using bench::finishDrawing;
using bench::median;
using bench::Sample;
using bench::Stopwatch;

struct Session : bench::GameSession {
    // A different view each frame: the player turns round the start position.
    void look(std::size_t frame) { game->player().face(-Pi + static_cast<double>(frame % 40) * 0.157); }
    void compose()
    {
        program->scene().draw(sf::Sprite(game->light().referenceTexture().getTexture()));
        finishDrawing(game->light().referenceTexture());
        finishDrawing(program->scene());
    }
};

Session& session()
{
    static Session shared;
    return shared;
}

std::vector<Sample> literalTimes, previousTimes, batchedTimes, frameTimes;
// Per stage of a frame, in order: each stage's time once the renderer has finished its work.
std::vector<std::string> stageNames;
std::map<std::string, std::vector<Sample>> stageTimes;

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

void PreviousBatchedFog(benchmark::State& state)
{
    Session& s = session();
    if (!s.ready) {
        state.SkipWithError("the game could not start from the run directory");
        return;
    }
    std::size_t frame = 0;
    bool first = true;
    for (auto _ : state) {
        s.look(frame++);
        const Stopwatch watch;
        s.game->castLight();
        bench::paintPreviousFog(s.game->light(), s.program->scene(), s.game->world().map(),
                                s.game->world().camera(), s.game->player().position(), first);
        first = false;
        finishDrawing(s.program->scene());
        record(state, previousTimes, watch);
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
        finishDrawing(s.program->scene());
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
        vrk::testing::ProgramProbe::mousePosition(*s.program) = sf::Vector2f(960.f + 400.f * std::cos(angle), 540.f + 400.f * std::sin(angle));
        const Stopwatch watch;
        s.program->runPass(vrk::testing::ProgramProbe::frameTime(*s.program));
        finishDrawing(s.program->window());
        record(state, frameTimes, watch);
    }
    if (s.game->paused())
        state.SkipWithError("the game was paused while measured");
}

// Times each stage of a frame as the loop runs it, the renderer finished after each.
struct StageClock : FrameObserver {
    explicit StageClock(sf::RenderTarget& target) : target(target) {}
    void lap(const std::string& name)
    {
        finishDrawing(target);
        const Sample sample = watch.read();
        stageTimes[name].push_back({sample.wall - last.wall, sample.cpu - last.cpu});
        if (std::find(stageNames.begin(), stageNames.end(), name) == stageNames.end())
            stageNames.push_back(name);
        last = sample;
    }
    void stageDrawn(FrameStage stage) override
    {
        static const char* const names[] = {
            "light (rays cast)",  "tiles (ground, objects)", "characters and effects", "ceiling", "fog",
            "log, bars, dialogue"};
        lap(names[static_cast<int>(stage)]);
    }
    sf::RenderTarget& target;
    Stopwatch watch;
    Sample last{0.0, 0.0};
};

void FrameStages(benchmark::State& state)
{
    Session& s = session();
    if (!s.ready) {
        state.SkipWithError("the game could not start from the run directory");
        return;
    }
    std::size_t frame = 0;
    sf::RectangleShape overlay;
    for (auto _ : state) {
        const float angle = static_cast<float>(frame++ % 40) * 0.157f;
        vrk::testing::ProgramProbe::mousePosition(*s.program) = sf::Vector2f(960.f + 400.f * std::cos(angle), 540.f + 400.f * std::sin(angle));
        StageClock clock(s.program->scene());
        s.game->update(0);
        clock.lap("update");
        // What the loop draws around the module: the overlay, the cursor, the presentation.
        if (!s.game->coversScene()) {
            overlay.setSize(sf::Vector2f(s.program->scene().getSize()));
            overlay.setFillColor(overlayColor);
            s.program->scene().draw(overlay);
        }
        clock.lap("overlay (left out when the game covers the scene)");
        s.game->observeFrames(&clock);
        s.game->draw();
        s.game->observeFrames(nullptr);
        s.program->drawCursor();
        clock.lap("cursor");
        s.program->present();
        finishDrawing(s.program->window());
        clock.lap("present");
        state.SetIterationTime(clock.last.wall / 1000.0);
    }
}

BENCHMARK(LiteralFog)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(PreviousBatchedFog)->UseManualTime()->Iterations(120)->Unit(benchmark::kMillisecond);
BENCHMARK(BatchedFog)->UseManualTime()->Iterations(120)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeFrame)->UseManualTime()->Iterations(120)->Unit(benchmark::kMillisecond);
BENCHMARK(FrameStages)->UseManualTime()->Iterations(120)->Unit(benchmark::kMillisecond);

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
    line("fog, the previous thin-line batch", previousTimes);
    line("fog, the game's filled fan", batchedTimes);
    const auto speedUp = [](const char* what, const std::vector<Sample>& samples) {
        const double wall = median(samples, &Sample::wall);
        const double cpu = median(samples, &Sample::cpu);
        if (wall > 0.0 && cpu > 0.0)
            std::printf("  %-34s %8.1f x wall %8.1f x CPU\n", what, median(literalTimes, &Sample::wall) / wall,
                        median(literalTimes, &Sample::cpu) / cpu);
    };
    speedUp("speed-up of the previous batch", previousTimes);
    speedUp("speed-up of the filled fan", batchedTimes);
    line("whole frame (update, draw, present)", frameTimes);
    std::printf("a frame by stage (renderer finished after each stage, so the sum exceeds a frame):\n");
    double wallSum = 0.0, cpuSum = 0.0;
    for (const std::string& name : stageNames) {
        line(("  " + name).c_str(), stageTimes[name]);
        wallSum += median(stageTimes[name], &Sample::wall);
        cpuSum += median(stageTimes[name], &Sample::cpu);
    }
    std::printf("  %-34s %8.2f ms wall %8.2f ms CPU\n", "  sum of the stages' medians", wallSum, cpuSum);
    return 0;
}
