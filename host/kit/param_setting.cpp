#include "param_setting.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "errors.h"

namespace {
bool parseFloat(const std::string& text, float& out) {
    if (text.empty() || text.find_first_of(" \t") != std::string::npos) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(v)) return false;
    out = static_cast<float>(v);
    return std::isfinite(out);
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

[[noreturn]] void refuse(const ParamSetting& setting, const std::string& why) {
    throw UsageError("--set " + setting.text + ": " + why);
}
}  // namespace

ParamSetting parseSetting(const std::string& text) {
    ParamSetting setting;
    setting.text = text;
    const size_t equals = text.find('=');
    if (equals == std::string::npos) refuse(setting, "expected [FRAME:][EFFECT.]NAME=VALUE");
    std::string target = text.substr(0, equals);
    setting.value = text.substr(equals + 1);
    const size_t colon = target.find(':');
    if (colon != std::string::npos) {
        const std::string frame = target.substr(0, colon);
        if (frame.empty() || frame.size() > 9 || frame.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(frame) < 1)
            refuse(setting, "the frame must be a number from 1");
        setting.frame = std::stoi(frame);
        target = target.substr(colon + 1);
    }
    const size_t dot = target.find('.');
    if (dot != std::string::npos) {
        setting.effect = target.substr(0, dot);
        target = target.substr(dot + 1);
    }
    if (target.empty()) refuse(setting, "no parameter name");
    setting.name = target;
    return setting;
}

Assignment resolveSetting(const ParamSetting& setting, const HostParam& param) {
    Assignment a{setting.frame, &param, {0.0f, 0.0f, 0.0f}};
    const std::string& value = setting.value;
    switch (param.kind) {
        case ParamKind::Point: {
            const auto parts = split(value, ',');
            if (parts.size() != 3 || !parseFloat(parts[0], a.values[0]) ||
                !parseFloat(parts[1], a.values[1]) || !parseFloat(parts[2], a.values[2]))
                refuse(setting, "'" + param.name + "' is a point: give three finite numbers x,y,z");
            return a;
        }
        case ParamKind::Flag:
            if (value == "on" || value == "true") a.values[0] = 1.0f;
            else if (value == "off" || value == "false") a.values[0] = 0.0f;
            else if (!parseFloat(value, a.values[0]))
                refuse(setting, "'" + value + "' is not a number (a flag takes 0..1, on or off)");
            break;
        case ParamKind::Scalar:
        case ParamKind::Bare:
            if (!parseFloat(value, a.values[0])) refuse(setting, "'" + value + "' is not a finite number");
            break;
    }
    if (const std::string why = refusal(param, a.values); !why.empty()) refuse(setting, why);
    return a;
}

std::string refusal(const HostParam& param, const float* values) {
    for (int i = 0; i < (param.kind == ParamKind::Point ? 3 : 1); ++i)
        if (!std::isfinite(values[i])) return "'" + param.name + "' takes finite numbers";
    if ((param.kind == ParamKind::Flag || param.kind == ParamKind::Scalar) && !(values[0] >= 0.0f && values[0] <= 1.0f))
        return "'" + param.name + "' is a " + kindName(param.kind) + ": its value lies in 0..1";
    return "";
}

void apply(const Assignment& assignment) {
    const HostParam& param = *assignment.param;
    for (int i = 0; i < 3; ++i)
        if (param.value[i]) *param.value[i] = assignment.values[i];
}

std::string valueText(const Assignment& assignment) {
    std::string out;
    const int count = assignment.param->kind == ParamKind::Point ? 3 : 1;
    for (int i = 0; i < count; ++i) {
        char text[32];
        for (int digits = 6; digits <= 9; ++digits) {
            std::snprintf(text, sizeof text, "%.*g", digits, double(assignment.values[i]));
            if (std::strtof(text, nullptr) == assignment.values[i]) break;
        }
        out += (i ? "," : "") + std::string(text);
    }
    return out;
}
