// What the benchmarks and the table share: a parameter host, the three
// kinds of data, the scenes, an allocation count and the clocks.
#pragma once

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

// This thread's CPU time in ns, and the process's minor page faults so far.
// Under wine they are Linux's own figures, asked of the kernel directly.
double threadCpuNs();
long minorFaults();
