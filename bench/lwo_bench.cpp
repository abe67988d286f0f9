// Reading and writing LWO2 files in memory: time should grow with the file's
// size alone.
#include <benchmark/benchmark.h>

#include "modeler/lwo.h"

// A file of points spread over x in [-1, 1] with two weight maps on every point.
static std::string weightedFile(uint32_t points) {
    Object object;
    Layer &layer = object.layers.emplace_back();
    layer.number = 1;
    for (uint32_t i = 0; i < points; ++i)
        layer.points.push_back({2.0f * i / points - 1.0f, 0, 0});
    for (const char *name : {"LeftArm", "LeftLeg"}) {
        VertexMap &map = addMap(layer, LWVMAP_WGHT, name, 1);
        for (uint32_t i = 0; i < points; ++i) {
            float value = float(i % 100) / 100;
            setMapValue(map, i, &value, 1);
        }
    }
    std::string bytes;
    LwoError error;
    lwoBytes(object, bytes, error);
    return bytes;
}

static void BM_ReadLwo(benchmark::State &bench) {
    std::string bytes = weightedFile(uint32_t(bench.range(0)));
    for (auto _ : bench) {
        Object object;
        LwoError error;
        benchmark::DoNotOptimize(readLwoBytes(bytes, "bench.lwo", object, error));
    }
    bench.SetBytesProcessed(int64_t(bench.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_ReadLwo)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);

// Writing back with one map changed: that map's VMAP is encoded anew, the
// rest copied.
static void BM_WriteChangedLwo(benchmark::State &bench) {
    std::string bytes = weightedFile(uint32_t(bench.range(0)));
    Object object;
    LwoError error;
    readLwoBytes(bytes, "bench.lwo", object, error);
    object.layers[0].maps[0].changed = true;
    for (auto _ : bench) {
        std::string written;
        benchmark::DoNotOptimize(lwoBytes(object, written, error));
    }
    bench.SetBytesProcessed(int64_t(bench.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_WriteChangedLwo)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);
