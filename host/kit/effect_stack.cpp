#include "effect_stack.h"

#include <algorithm>

#include "errors.h"
#include "names.h"

std::string stackTooLong(size_t effects) {
    return "a stack holds at most " + std::to_string(kMaxStackEffects) + " effects, not " + std::to_string(effects);
}

EffectStack::EffectStack(const Plugin& plugin, const std::vector<CatalogueRow>& catalogue,
                         const std::vector<std::string>& names)
    : catalogue_(catalogue) {
    if (names.size() > kMaxStackEffects) throw UsageError(stackTooLong(names.size()));
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
        const std::string label = settingLabel(setting);
        if (setting.frame > frames)
            throw UsageError(label + ": frame " + std::to_string(setting.frame) + " is past the last frame " +
                             std::to_string(frames));
        if (setting.effectIndex >= 0 && size_t(setting.effectIndex) >= entries_.size())
            throw UsageError(label + ": no effect #" + std::to_string(setting.effectIndex + 1) + " in a stack of " +
                             std::to_string(entries_.size()));
        const CatalogueRow* wanted = nullptr;
        if (!setting.effect.empty()) {
            try {
                wanted = &findEffect(catalogue_, setting.effect);
            } catch (const UsageError& e) {
                throw UsageError(label + ": " + e.what());
            }
        }
        bool effectFound = !wanted, paramFound = false;
        std::vector<std::string> known;
        for (size_t i = 0; i < entries_.size(); ++i) {
            const Entry& entry = entries_[i];
            if ((wanted && entry.row != wanted) || (setting.effectIndex >= 0 && size_t(setting.effectIndex) != i))
                continue;
            effectFound = true;
            if (const HostParam* param = entry.params->find(setting.name)) {
                assignments.push_back(resolveSetting(setting, *param));
                paramFound = true;
            }
            for (const HostParam& p : entry.params->params())
                if (std::find(known.begin(), known.end(), p.name) == known.end()) known.push_back(p.name);
        }
        if (!effectFound) throw UsageError(label + ": no effect " + wanted->name + " in the run");
        if (!paramFound) {
            std::string list;
            for (const std::string& name : known) list += (list.empty() ? "" : ", ") + name;
            const std::string suggestion = didYouMean(setting.name, known, "'");
            throw UsageError(label + ": unknown parameter " + quoted(setting.name) +
                             (!suggestion.empty() ? suggestion
                              : known.empty()     ? std::string(" (the run has no parameters)")
                                                  : " (known: " + list + ")"));
        }
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
