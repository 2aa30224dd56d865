// What the benchmarks and the table share: the three kinds of data, the
// scenes, an allocation count and the clocks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kit/param_host.h"
#include "scene.h"

enum class Kind { particles, spline, mesh };
constexpr Kind kKinds[] = {Kind::particles, Kind::spline, Kind::mesh};
const char* kindName(Kind kind);
size_t bytesOf(const BenchScene& scene, Kind kind);
// Turns the effect's flag for `kind` on and its other data flags off; false
// when the effect has no flag for `kind`.
bool touchOnly(const ParamHost& params, Kind kind);

// The scene of n points of each kind, built once.
BenchScene& sceneOf(uint32_t n);

// Operator new calls in this program so far.
size_t allocationCount();

// This thread's CPU time in ns, and the process's minor page faults so far.
// Under wine they are Linux's own figures, asked of the kernel directly.
double threadCpuNs();
long minorFaults();
