// Every effect of the catalogue, in a steady state, on 10^6 points of each
// kind of data it has a flag for.
#include <string>

#include "google_bench.h"
#include "plugin/catalogue.h"
#include "plugin/exports.h"

namespace {
constexpr uint32_t kPoints = 1000000;

struct Variant {
    int index;
    std::string label;
    const char* extraFlag;  // a flag turned on besides the data flag, or null
};

// A fresh effect, its parameters registered and at their defaults.
FxEffect* create(int index, ParamHost& params) {
    FxEffect* effect = fx_create(index, nullptr);
    if (effect) {
        effect->registerParams(&params);
        effect->init(0, 0);
    }
    return effect;
}

void effectPass(benchmark::State& state, Variant variant, Kind kind) {
    BenchScene& scene = sceneOf(kPoints);
    ParamHost params;
    FxEffect* effect = create(variant.index, params);
    touchOnly(params, kind);
    if (variant.extraFlag) *params.registration(variant.extraFlag)->value = 1.0f;
    effect->start(0);
    effect->update(1.0f);
    timeProcess(state, *effect, scene, kPoints, bytesOf(scene, kind));
    fx_delete(effect);
}
}  // namespace

void registerEffectBenchmarks() {
    for (int index = 0; index < kCatalogueSize; ++index) {
        char name[32];
        ParamHost params;
        FxEffect* probe = fx_create(index, name);
        probe->registerParams(&params);
        std::vector<Variant> variants{{index, name, nullptr}};
        if (params.registration("use tan [b]")) variants.push_back({index, std::string(name) + "+tan", "use tan [b]"});
        for (const Variant& v : variants)
            for (Kind kind : kKinds)
                if (touchOnly(params, kind))
                    benchmark::RegisterBenchmark(("effect/" + v.label + "/" + kindName(kind)).c_str(), effectPass, v,
                                                 kind)
                        ->Unit(benchmark::kMillisecond);
        fx_delete(probe);
    }
}
