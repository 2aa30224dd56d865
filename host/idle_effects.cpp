#include "idle_effects.h"

#include "ranges.h"
#include "reference/reference.h"

std::vector<std::string> idleEffects(const EffectStack& stack, const Scene& scene) {
    const struct {
        const char* kind;
        bool held;
    } kinds[] = {{"mesh", scene.hasMesh}, {"spline", scene.hasSpline}, {"particles", scene.hasParticles}};
    std::vector<std::string> out;
    for (size_t i = 0; i < stack.size(); ++i) {
        if (stack.bypassed(i)) continue;
        const std::string& name = stack.name(i);
        const EffectReference* reference = findReference(name);
        if (reference && !reference->reads.empty()) {
            bool held = false;
            for (const auto& k : kinds) held = held || (reference->reads == k.kind && k.held);
            if (!held) {
                out.push_back(name + " follows a " + reference->reads + " and the scene has none: it moves nothing");
                continue;
            }
        }
        // Its "on mesh", "on spline" and "on particles" flags, as the run starts.
        std::vector<std::string> off, missing;
        bool acts = false, flagged = false;
        for (const auto& k : kinds) {
            for (const HostParam& p : stack.params(i)) {
                if (p.name != std::string("on ") + k.kind || !p.value[0]) continue;
                flagged = true;
                if (!flagOn(*p.value[0])) off.push_back(p.name);
                else if (!k.held) missing.push_back(k.kind);
                else acts = true;
            }
        }
        if (!flagged || acts) continue;
        std::string why = missing.empty() ? "" : "the scene has no " + listed(missing);
        if (!off.empty())
            why += (why.empty() ? "" : ", and ") + listed(off, " and ") + (off.size() == 1 ? " is off" : " are off");
        out.push_back(name + " acts on nothing: " + why);
    }
    return out;
}
