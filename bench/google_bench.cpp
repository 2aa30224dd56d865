#include "google_bench.h"

void reportRate(benchmark::State& state, size_t points, size_t bytes) {
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(points));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    state.counters["time/point"] = benchmark::Counter(
        double(points), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void timeProcess(benchmark::State& state, FxEffect& effect, BenchScene& scene, size_t points, size_t bytes) {
    effect.process(scene.host());
    effect.process(scene.host());
    const size_t before = allocationCount();
    for (auto _ : state) {
        effect.process(scene.host());
        benchmark::ClobberMemory();
    }
    state.counters["allocs"] = double(allocationCount() - before);
    reportRate(state, points, bytes);
}

int main(int argc, char** argv) {
    registerPassBenchmarks();
    registerEffectBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
