// What the Google Benchmark runs share: the steady-state timing of process().
#pragma once

#include <benchmark/benchmark.h>

#include "bench_support.h"

// Times effect.process() after two warm-up passes have sized its working
// copies, and reports points and bytes per second, the time per point and
// the allocations made in the timed passes ("allocs", 0 in a steady state).
void timeProcess(benchmark::State& state, FxEffect& effect, BenchScene& scene, size_t points, size_t bytes);
// Reports the same counters for a loop that has already run.
void reportRate(benchmark::State& state, size_t points, size_t bytes);

void registerPassBenchmarks();
void registerEffectBenchmarks();
