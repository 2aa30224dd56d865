// What the benchmarks share: a parameter host, the three kinds of data,
// the steady-state timing of process() and an allocation count.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "fx/abi.h"
#include "scene.h"

// Keeps every registered float by its full name ("on mesh [b]").
class ParamTable final : public FxParamHost {
public:
    void FX_THISCALL add(const char* name, float* value) override { entries_.emplace_back(name, value); }
    float* find(const std::string& name) const;

private:
    std::vector<std::pair<std::string, float*>> entries_;
};

enum class Kind { particles, spline, mesh };
constexpr Kind kKinds[] = {Kind::particles, Kind::spline, Kind::mesh};
const char* kindName(Kind kind);
size_t bytesOf(const BenchScene& scene, Kind kind);
// Turns the effect's flag for `kind` on and its other data flags off; false
// when the effect has no flag for `kind`.
bool touchOnly(const ParamTable& params, Kind kind);

// The scene of n points of each kind, built once.
BenchScene& sceneOf(uint32_t n);

// Operator new calls in this program so far.
size_t allocationCount();

// Times effect.process() after two warm-up passes have sized its working
// copies, and reports points and bytes per second, the time per point and
// the allocations made in the timed passes ("allocs", 0 in a steady state).
void timeProcess(benchmark::State& state, FxEffect& effect, BenchScene& scene, size_t points, size_t bytes);
// Reports the same counters for a loop that has already run.
void reportRate(benchmark::State& state, size_t points, size_t bytes);

void registerPassBenchmarks();
void registerEffectBenchmarks();
