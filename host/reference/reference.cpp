#include "reference.h"

#include <stdexcept>

#include "reference_files.h"

namespace {
ExpCurve curveFrom(const nlohmann::json& j) { return {j.at(0).get<float>(), j.at(1).get<float>(), j.at(2).get<float>()}; }

ParamReference paramFrom(const nlohmann::json& j) {
    ParamReference p;
    p.name = j.at("name");
    p.kind = j.at("kind");
    p.quantity = j.value("quantity", "");
    p.unit = j.value("unit", "");
    p.meaning = j.at("meaning");
    p.more = j.value("more", "");
    if (j.contains("curve")) p.curve = curveFrom(j["curve"]);
    p.isSigned = j.value("signed", false);
    if (j.contains("clock")) p.clock = j["clock"].get<double>();
    if (j.contains("scale")) p.scale = j["scale"].get<double>();
    p.whole = j.value("whole", false);
    p.offAtZero = j.value("offAtZero", false);
    if (j.contains("whenOn")) {
        p.alternateFlag = j["whenOn"].at("flag");
        p.alternate = curveFrom(j["whenOn"].at("curve"));
    }
    p.follows = j.value("follows", "");
    p.fit = j.value("fit", "");
    p.strip = j.value("strip", nlohmann::json());
    p.settings = j.value("settings", std::vector<std::string>{});
    return p;
}

std::vector<EffectReference> load() {
    std::vector<EffectReference> all;
    for (int i = 0; i < kReferenceFileCount; ++i) {
        const ReferenceFile& file = kReferenceFiles[i];
        try {
            const nlohmann::json j = nlohmann::json::parse(file.text);
            EffectReference e;
            e.effect = j.at("effect");
            e.page = file.name;
            e.title = j.at("title");
            e.does = j.at("does");
            e.gizmo = j.at("gizmo");
            e.demo = j.value("demo", std::vector<std::string>{});
            e.frame = j.value("frame", 12);
            for (const nlohmann::json& p : j.at("params")) e.params.push_back(paramFrom(p));
            all.push_back(std::move(e));
        } catch (const std::exception& error) {
            throw std::runtime_error(std::string("reference ") + file.name + ".json: " + error.what());
        }
    }
    return all;
}
}  // namespace

const ParamReference* EffectReference::find(const std::string& name) const {
    for (const ParamReference& p : params)
        if (p.name == name) return &p;
    return nullptr;
}

const std::vector<EffectReference>& effectReferences() {
    static const std::vector<EffectReference> all = load();
    return all;
}

const EffectReference* findReference(const std::string& effect) {
    for (const EffectReference& e : effectReferences())
        if (e.effect == effect) return &e;
    return nullptr;
}
