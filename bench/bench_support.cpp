#include "bench_support.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <new>

namespace {
size_t allocations = 0;
}

size_t allocationCount() { return allocations; }

void* operator new(size_t n) {
    ++allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    ++allocations;
    return std::malloc(n ? n : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

float* ParamTable::find(const std::string& name) const {
    for (const auto& [entry, value] : entries_)
        if (entry == name) return value;
    return nullptr;
}

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::particles: return "particles";
        case Kind::spline: return "spline";
        case Kind::mesh: return "mesh";
    }
    return "";
}

size_t bytesOf(const BenchScene& scene, Kind kind) {
    switch (kind) {
        case Kind::particles: return scene.particleBytes();
        case Kind::spline: return scene.splineBytes();
        case Kind::mesh: return scene.meshBytes();
    }
    return 0;
}

bool touchOnly(const ParamTable& params, Kind kind) {
    bool found = false;
    for (Kind k : kKinds)
        if (float* flag = params.find(std::string("on ") + kindName(k) + " [b]")) {
            *flag = k == kind ? 1.0f : 0.0f;
            found = found || k == kind;
        }
    return found;
}

BenchScene& sceneOf(uint32_t n) {
    static std::map<uint32_t, std::unique_ptr<BenchScene>> scenes;
    std::unique_ptr<BenchScene>& scene = scenes[n];
    if (!scene) scene = std::make_unique<BenchScene>(n);
    return *scene;
}

void reportRate(benchmark::State& state, size_t points, size_t bytes) {
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(points));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    state.counters["time/point"] = benchmark::Counter(
        double(points), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void timeProcess(benchmark::State& state, FxEffect& effect, BenchScene& scene, size_t points, size_t bytes) {
    effect.process(&scene);
    effect.process(&scene);
    const size_t before = allocationCount();
    for (auto _ : state) {
        effect.process(&scene);
        benchmark::ClobberMemory();
    }
    state.counters["allocs"] = double(allocationCount() - before);
    reportRate(state, points, bytes);
}

int runTable(int argc, char** argv);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--table") return runTable(argc, argv);
    registerPassBenchmarks();
    registerEffectBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
