#include "effect_stack.h"

#include "errors.h"

EffectStack::EffectStack(const Plugin& plugin, const std::vector<CatalogueRow>& catalogue,
                         const std::vector<std::string>& names) {
    for (const std::string& name : names) findEffect(catalogue, name);  // every name known before any is made
    for (const std::string& name : names) {
        const CatalogueRow& row = findEffect(catalogue, name);
        Entry entry{&row, createEffect(plugin, row), std::make_unique<ParamHost>(), EffectTiming{row.name}};
        entry.effect->init(0u, 0u);
        entry.effect->registerParams(entry.params.get());
        entries_.push_back(std::move(entry));
    }
}

std::vector<Assignment> EffectStack::resolve(const std::vector<ParamSetting>& settings, int frames) const {
    std::vector<Assignment> assignments;
    for (const ParamSetting& setting : settings) {
        if (setting.frame > frames)
            throw UsageError("--set " + setting.text + ": frame " + std::to_string(setting.frame) +
                             " is past the last frame " + std::to_string(frames));
        bool effectFound = setting.effect.empty(), paramFound = false;
        std::string known;
        for (size_t i = 0; i < entries_.size(); ++i) {
            const Entry& entry = entries_[i];
            if (!setting.effect.empty() && setting.effect != entry.row->name) continue;
            if (setting.effectIndex >= 0 && size_t(setting.effectIndex) != i) continue;
            effectFound = true;
            if (const HostParam* param = entry.params->find(setting.name)) {
                assignments.push_back(resolveSetting(setting, *param));
                paramFound = true;
            }
            for (const HostParam& p : entry.params->params())
                known += (known.empty() ? "" : ", ") + p.name;
        }
        if (!effectFound) throw UsageError("--set " + setting.text + ": no effect " + setting.effect + " in the run");
        if (!paramFound)
            throw UsageError("--set " + setting.text + ": unknown parameter '" + setting.name + "'" +
                             (known.empty() ? std::string(" (the run has no parameters)") : " (known: " + known + ")"));
    }
    return assignments;
}

void EffectStack::start(const std::vector<Assignment>& assignments) {
    for (const Assignment& a : assignments)
        if (a.frame == 0) apply(a);
    for (Entry& entry : entries_) entry.effect->start(0u);
}

void EffectStack::runFrame(int frame, float time, HostData& data, const std::vector<Assignment>& assignments) {
    update(frame, time, assignments);
    process(data);
}

void EffectStack::update(int frame, float time, const std::vector<Assignment>& assignments) {
    for (const Assignment& a : assignments)
        if (a.frame == frame) apply(a);
    for (Entry& entry : entries_) {
        if (entry.bypassed) continue;
        const Stopwatch watch;
        entry.effect->update(time);
        entry.timing.seconds += watch.seconds();
    }
}

void EffectStack::process(HostData& data) {
    for (Entry& entry : entries_) {
        if (entry.bypassed) continue;
        const Stopwatch watch;
        entry.effect->process(&data);
        entry.timing.seconds += watch.seconds();
        ++entry.timing.frames;
    }
}

void EffectStack::drawGizmos() {
    for (Entry& entry : entries_)
        if (!entry.bypassed) entry.effect->draw();
}

std::vector<EffectTiming> EffectStack::timings() const {
    std::vector<EffectTiming> out;
    for (const Entry& entry : entries_) out.push_back(entry.timing);
    return out;
}

std::string EffectStack::names() const {
    std::string out;
    for (const Entry& entry : entries_) out += (out.empty() ? "" : " + ") + entry.row->name;
    return out;
}
