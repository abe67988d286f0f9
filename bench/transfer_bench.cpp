// The side transfer through the modeler's mesh edit: the cost per point must
// not grow with the number of points or of maps.
#include <benchmark/benchmark.h>

#include "modeler/host.h"
#include "module/run_state.h"
#include "pairing/pairing.h"
#include "transfer/transfer.h"

// A layer of points spread over x in [-1, 1] with mapCount weight maps
// "Left0", "Left1", ... painted on every point.
static Object paintedObject(uint32_t points, int mapCount) {
    Object object;
    Layer &layer = object.layers.emplace_back();
    for (uint32_t i = 0; i < points; ++i)
        layer.points.push_back({2.0f * i / points - 1.0f, 0, 0});
    for (int m = 0; m < mapCount; ++m) {
        VertexMap &map = addMap(layer, LWVMAP_WGHT, "Left" + std::to_string(m), 1);
        for (uint32_t i = 0; i < points; ++i) {
            float value = float(i % 100) / 100;
            setMapValue(map, i, &value, 1);
        }
    }
    return object;
}

static void runScan(Object &object, int pairCount) {
    Host host;
    host.object = &object;
    ActiveHost active(host);
    RunState state;
    state.global = hostGlobal;
    state.sourceToken = "Left";
    state.targetToken = "Right";
    collectMapNames(state);
    state.mapNames.resize(std::min<size_t>(state.mapNames.size(), pairCount));
    buildPairs(state);
    state.edit = hostModCommand()->editBegin(0, 0, 0);
    state.edit->pointScan(state.edit->state, transferPoint, &state, EDLAYER_PRIMARY);
    state.edit->done(state.edit->state, EDERR_NONE, 0);
}

// Times the scan over a fresh object of that many points and maps each
// time. Objects are made and dropped outside the timed part; making one is
// slow beside the scan, so the runs with many maps take a fixed count.
static void timeScans(benchmark::State &bench, uint32_t points, int maps, int pairs) {
    Object object;
    for (auto _ : bench) {
        bench.PauseTiming();
        object = paintedObject(points, maps);
        bench.ResumeTiming();
        runScan(object, pairs);
    }
    bench.SetItemsProcessed(bench.iterations() * points * pairs);
}

// Points grow, one pair: time per point should stay flat.
static void BM_TransferPoints(benchmark::State &bench) {
    timeScans(bench, uint32_t(bench.range(0)), 1, 1);
}
BENCHMARK(BM_TransferPoints)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);

// Maps in the layer grow, one pair: time per point should stay flat.
static void BM_TransferAmongManyMaps(benchmark::State &bench) {
    timeScans(bench, 20000, int(bench.range(0)), 1);
}
BENCHMARK(BM_TransferAmongManyMaps)
    ->RangeMultiplier(4)
    ->Range(1, 256)
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

// Pairs grow: time per point and pair should stay flat.
static void BM_TransferPairs(benchmark::State &bench) {
    int pairs = int(bench.range(0));
    timeScans(bench, 20000, pairs, pairs);
}
BENCHMARK(BM_TransferPairs)->RangeMultiplier(4)->Range(1, 64)->Iterations(30)->Unit(benchmark::kMillisecond);
