#pragma once
// Shared by the benchmarks of whole frames: the game started in play, wall and process CPU
// time, and the renderer finished before a time is read.
#include "game/Ingame.hpp"
#include "shell/GameModules.hpp"
#include "shell/Program.hpp"

#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <dlfcn.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace vrk::bench {

// CPU time of the whole process, the renderer's worker threads included: on a busy machine the
// wall time grows with the other processes' load, this does not.
inline double processCpuMilliseconds()
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
    std::chrono::steady_clock::time_point wallStart = std::chrono::steady_clock::now();
    double cpuStart = processCpuMilliseconds();
    Sample read() const
    {
        return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count(),
                processCpuMilliseconds() - cpuStart};
    }
};

// Drawing is queued; a time means something only once the renderer has finished the work.
inline void finishDrawing(sf::RenderTarget& target)
{
    using Finish = void (*)();
    static const Finish glFinish = reinterpret_cast<Finish>(dlsym(RTLD_DEFAULT, "glFinish"));
    target.setActive(true);
    if (glFinish)
        glFinish();
}

// The game started from the run directory on its first map, in play.
struct GameSession {
    GameSession()
    {
        if (chdir(VELMORA_RUN_DIR) != 0)
            return;
        program = std::make_unique<Program>();
        program->setOption("StartState", "ingame");
        program->setOption("Sound", "False");
        registerGameModules(*program);
        ready = program->load();
        game = ready ? static_cast<Ingame*>(program->module(IngameState)) : nullptr;
        ready = ready && game && game->isStarted();
        if (ready)
            settle();
    }
    void settle()
    {
        game->tasks().clear(); // no opening conversation in the way
        // A window opened on a display without a window manager may report a lost focus, which
        // pauses the game: the frames measured are frames of play.
        sf::Event event;
        while (program->window().pollEvent(event))
            program->dispatchEvent(event);
        game->setPaused(false);
    }

    std::unique_ptr<Program> program;
    Ingame* game = nullptr;
    bool ready = false;
};

inline double median(const std::vector<Sample>& samples, double Sample::*part)
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

} // namespace vrk::bench
