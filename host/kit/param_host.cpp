#include "param_host.h"

#include <cstring>

namespace {
struct Suffix {
    const char* text;
    ParamKind kind;
    int coordinate;
};
constexpr Suffix kSuffixes[] = {
    {" [b]", ParamKind::Flag, 0},     {" [s]", ParamKind::Scalar, 0},
    {" [p3x]", ParamKind::Point, 0},  {" [p3y]", ParamKind::Point, 1},
    {" [p3z]", ParamKind::Point, 2},
};

bool endsWith(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}
}  // namespace

void FX_THISCALL ParamHost::add(const char* fullName, float* value) {
    // The name lives in a buffer the library reuses at once: copy it now.
    const float initial = value ? *value : 0.0f;
    Registration& added = registrations_.emplace_back(
        Registration{fullName ? fullName : "", fullName, value, initial, ParamKind::Bare});
    std::string name = added.name;
    int coordinate = 0;
    for (const Suffix& suffix : kSuffixes) {
        if (endsWith(name, suffix.text)) {
            name.resize(name.size() - std::strlen(suffix.text));
            added.kind = suffix.kind;
            coordinate = suffix.coordinate;
            break;
        }
    }
    // The coordinates of one point arrive as three consecutive registrations.
    const bool joinsPoint = added.kind == ParamKind::Point && !params_.empty() &&
                            params_.back().kind == ParamKind::Point && params_.back().name == name &&
                            !params_.back().value[coordinate];
    if (!joinsPoint) params_.push_back(HostParam{name, added.kind});
    HostParam& param = params_.back();
    param.value[coordinate] = value;
    param.initial[coordinate] = initial;
}

const Registration* ParamHost::registration(const std::string& fullName) const {
    for (const Registration& r : registrations_)
        if (r.name == fullName) return &r;
    return nullptr;
}

const HostParam* ParamHost::find(const std::string& name) const {
    for (const HostParam& param : params_)
        if (param.name == name) return &param;
    return nullptr;
}

const char* kindName(ParamKind kind) {
    switch (kind) {
        case ParamKind::Flag: return "flag";
        case ParamKind::Scalar: return "scalar";
        case ParamKind::Point: return "point";
        case ParamKind::Bare: return "float";
    }
    return "";
}
