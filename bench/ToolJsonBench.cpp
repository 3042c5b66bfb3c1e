// tavric json over a wide document: one node with many siblings, which the ordered JSON object
// used to make quadratic (100,000 siblings took seconds).

#include <benchmark/benchmark.h>
#include <string>

#include "tavric/model/Tavric.hpp"
#include "tavric/text/Documents.hpp"
#include "tools/tavric/ToolJson.hpp"

namespace {

void WideDocumentAsJson(benchmark::State& state)
{
    const int siblings = static_cast<int>(state.range(0));
    std::string text;
    for (int i = 0; i < siblings; ++i)
        text += "f" + std::to_string(i) + " = " + std::to_string(i) + "\n";
    zul::NameDictionary names;
    zul::Tavric root(&names);
    if (!zul::parse(root, text)) {
        state.SkipWithError("the document does not parse");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(tavrictool::toJson(root, false).dump(2));
    state.SetItemsProcessed(state.iterations() * siblings);
}
BENCHMARK(WideDocumentAsJson)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
