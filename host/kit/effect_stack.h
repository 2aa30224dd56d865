// The effects of one run, driven exactly as the host drives them: fx_create,
// init, registerParams, start; per frame update(time) then process for each
// effect in order; draw when the frame is shown; fx_delete at the end.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host_data.h"
#include "param_host.h"
#include "param_setting.h"
#include "plugin_loader.h"
#include "timing.h"

// Frame n (from 1) runs at time n / fps, rounded once to a float: the first
// update already has a positive time step.
inline float frameTime(int frame, double fps) { return float(frame / fps); }

// The most effects a stack holds. Each keeps a copy of the scene it works
// on, so a runaway list (a generated session of 20000 effects) would fill the
// memory before its first frame; a hand-built stack is a few.
constexpr size_t kMaxStackEffects = 100;
// "a stack holds at most 100 effects, not N": the refusal of a longer list.
std::string stackTooLong(size_t effects);

class EffectStack {
public:
    // Creates every effect, calls init and registerParams; throws UsageError
    // for an unknown effect or more than kMaxStackEffects, and RunError for
    // one that is not built. The catalogue must outlive the stack.
    EffectStack(const Plugin& plugin, const std::vector<CatalogueRow>& catalogue,
                const std::vector<std::string>& names);

    // The settings as assignments to registered parameters; throws
    // UsageError for an unknown name, a bad value or a frame past `frames`,
    // suggesting the nearest name.
    std::vector<Assignment> resolve(const std::vector<ParamSetting>& settings, int frames) const;

    // Applies the assignments of frame 0, then calls start.
    void start(const std::vector<Assignment>& assignments);
    // Applies the frame's assignments, then updates every effect, then
    // processes every effect. An update never sees the data, so this gives
    // the floats of update and process effect by effect.
    void runFrame(int frame, float time, HostData& data, const std::vector<Assignment>& assignments);
    // The two halves of runFrame, for a host that calls them apart.
    void update(int frame, float time, const std::vector<Assignment>& assignments);
    void process(HostData& data);
    void drawGizmos();
    // A bypassed effect is neither updated, nor processed, nor drawn.
    void setBypassed(size_t i, bool bypassed) { entries_.at(i).bypassed = bypassed; }

    size_t size() const { return entries_.size(); }
    const std::string& name(size_t i) const { return entries_.at(i).row->name; }
    bool bypassed(size_t i) const { return entries_.at(i).bypassed; }
    // The parameters effect i registered, in order.
    const std::vector<HostParam>& params(size_t i) const { return entries_.at(i).params->params(); }
    std::vector<EffectTiming> timings() const;
    std::string names() const;

private:
    struct Entry {
        const CatalogueRow* row;
        EffectPtr effect;
        std::unique_ptr<ParamHost> params;  // its address is what the effect was given
        EffectTiming timing;
        bool bypassed = false;
    };
    const std::vector<CatalogueRow>& catalogue_;
    std::vector<Entry> entries_;
};
