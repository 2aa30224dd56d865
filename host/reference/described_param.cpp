#include "described_param.h"

#include "real_value.h"

float storedValue(const HostParam& p, int k) { return p.value[k] ? *p.value[k] : 0.0f; }

std::vector<DescribedParam> describe(const std::vector<HostParam>& params, const EffectReference* reference) {
    std::vector<DescribedParam> out;
    for (const HostParam& p : params) {
        DescribedParam d{&p, reference ? reference->find(p.name) : nullptr};
        if (d.entry && !d.entry->alternateFlag.empty())
            for (const HostParam& flag : params)
                if (flag.name == d.entry->alternateFlag) d.alternate = storedValue(flag, 0) >= 0.5f;
        out.push_back(d);
    }
    return out;
}

std::string currentRealText(const DescribedParam& p) {
    if (!p.entry) return "";
    const float values[3] = {storedValue(*p.param, 0), storedValue(*p.param, 1), storedValue(*p.param, 2)};
    return realText(*p.entry, values, p.alternate);
}

nlohmann::json paramJson(const DescribedParam& p) {
    const HostParam& param = *p.param;
    nlohmann::json j = {{"name", param.name}, {"kind", kindName(param.kind)}};
    if (param.kind == ParamKind::Point) j["stored"] = {storedValue(param, 0), storedValue(param, 1), storedValue(param, 2)};
    else j["stored"] = storedValue(param, 0);
    if (!p.entry) {
        j["documented"] = false;
        return j;
    }
    const ParamReference& e = *p.entry;
    j["documented"] = true;
    j["realText"] = currentRealText(p);
    if (param.kind == ParamKind::Flag) j["real"] = storedValue(param, 0) >= 0.5f;
    else if (param.kind == ParamKind::Point) j["real"] = j["stored"];
    else j["real"] = realValue(e, storedValue(param, 0), p.alternate);
    for (const auto& [key, text] : {std::pair{"quantity", &e.quantity}, {"unit", &e.unit}, {"meaning", &e.meaning},
                                    {"more", &e.more}, {"follows", &e.follows}})
        if (!text->empty()) j[key] = *text;
    if (param.kind == ParamKind::Scalar || e.curve) {
        // What the ends of the slider (0 and 1) give.
        const float ends[2][3] = {{0, 0, 0}, {1, 0, 0}};
        j["range"] = {realValue(e, 0.0f, p.alternate), realValue(e, 1.0f, p.alternate)};
        j["rangeText"] = {realText(e, ends[0], p.alternate), realText(e, ends[1], p.alternate)};
        if (e.alternate) {
            j["alternateFlag"] = e.alternateFlag;
            j["alternateRangeText"] = {realText(e, ends[0], true), realText(e, ends[1], true)};
        }
    }
    return j;
}
