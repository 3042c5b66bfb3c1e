// Cost of the field that map layers are made of: building and reading integer collection elements,
// and the heap taken per element.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include "tavric/model/Tavric.hpp"
#include "tavric/model/TavricInternal.hpp"

namespace {

constexpr int elementsPerLayer = 100000;

void fillLayer(zul::Tavric& layer, int count)
{
    layer.setKind(zul::KindCollection);
    zul::Collection* collection = layer.makeCollection();
    for (int i = 0; i < count; ++i) {
        // Made as the parser makes them.
        zul::Tavric* element = zul::TavricAccess::makeChild(layer, 0);
        zul::TavricAccess::storeInt(*element, i % 16);
        collection->append(element);
    }
}

void BuildLayer(benchmark::State& state)
{
    double bytesPerElement = 0.0;
    for (auto _ : state) {
        zul::NameDictionary dictionary;
        zul::Tavric root(&dictionary);
        const std::size_t before = mallinfo2().uordblks;
        fillLayer(root["layer"], elementsPerLayer);
        bytesPerElement = static_cast<double>(mallinfo2().uordblks - before) / elementsPerLayer;
        benchmark::DoNotOptimize(root);
    }
    state.counters["bytesPerElement"] = bytesPerElement;
    state.SetItemsProcessed(state.iterations() * elementsPerLayer);
}
BENCHMARK(BuildLayer)->Unit(benchmark::kMillisecond);

void ReadLayer(benchmark::State& state)
{
    zul::NameDictionary dictionary;
    zul::Tavric root(&dictionary);
    zul::Tavric& layer = root["layer"];
    fillLayer(layer, elementsPerLayer);
    for (auto _ : state) {
        long long sum = 0;
        for (int i = 0; i < elementsPerLayer; ++i)
            sum += layer.childAt(static_cast<std::size_t>(i))->getInt(zul::publicUser);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * elementsPerLayer);
}
BENCHMARK(ReadLayer)->Unit(benchmark::kMillisecond);

void ReadNamedChild(benchmark::State& state)
{
    zul::NameDictionary dictionary;
    zul::Tavric root(&dictionary);
    root["Maps"]["First"]["Width"] = 64;
    for (auto _ : state)
        benchmark::DoNotOptimize(root["Maps"]["First"]["Width"].getInt());
}
BENCHMARK(ReadNamedChild);

} // namespace

BENCHMARK_MAIN();
