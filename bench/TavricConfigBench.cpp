// Loading the game's configuration (lev/config.tvr as built, maps and all): what start-up pays for
// reading the text, building the tree and resolving it.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <malloc.h>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"

namespace {

const char* const configPath = VELMORA_RUN_DIR "/lev/config.tvr";

void LoadConfiguration(benchmark::State& state)
{
    double heapBytes = 0.0;
    for (auto _ : state) {
        zul::NameDictionary dictionary;
        zul::Tavric root(&dictionary);
        const std::size_t before = mallinfo2().uordblks;
        if (!zul::load(root, configPath)) {
            for (const std::string& line : root.messages())
                std::fputs(line.c_str(), stderr);
            state.SkipWithError("the configuration does not load");
            break;
        }
        heapBytes = static_cast<double>(mallinfo2().uordblks - before);
        benchmark::DoNotOptimize(root);
    }
    state.counters["heapBytes"] = heapBytes;
}
BENCHMARK(LoadConfiguration)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
