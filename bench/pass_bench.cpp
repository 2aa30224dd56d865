// The deformation pass with a rule that moves nothing, per kind of data, next
// to a plain copy of the bytes it hands back: the floor no pass can beat.
#include <cstring>
#include <string>
#include <vector>

#include "google_bench.h"
#include "deformers/fx_deformer.h"
#include "plugin/boundary.h"

namespace {
struct IdentityRule {};
Vec3 movePoint(const IdentityRule&, const Vec3& p) { return p; }

class Identity : public FxDeformer<FxEffect, Identity> {
public:
    const char* FX_THISCALL description() override { return "identity"; }
    const char* FX_THISCALL author() override { return "bench"; }
    IdentityRule rule;
};
using IdentityEffect = Boundary<Identity>;  // as the catalogue creates effects

void identityPass(benchmark::State& state, Kind kind, uint32_t n) {
    BenchScene& scene = sceneOf(n);
    auto* effect = new IdentityEffect();
    ParamHost params;
    effect->registerParams(&params);
    touchOnly(params, kind);
    timeProcess(state, *effect, scene, n, bytesOf(scene, kind));
    effect->scalarDeletingDestructor(1);
}

void memcpyFloor(benchmark::State& state, Kind kind, uint32_t n) {
    const size_t bytes = bytesOf(sceneOf(n), kind);
    std::vector<char> from(bytes, 1), to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    reportRate(state, n, bytes);
}
}  // namespace

void registerPassBenchmarks() {
    for (uint32_t n : {10000u, 100000u, 1000000u})
        for (Kind kind : kKinds) {
            const std::string suffix = std::string(kindName(kind)) + "/" + std::to_string(n);
            benchmark::RegisterBenchmark(("pass/identity/" + suffix).c_str(), identityPass, kind, n)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("floor/memcpy/" + suffix).c_str(), memcpyFloor, kind, n)
                ->Unit(benchmark::kMicrosecond);
        }
}
