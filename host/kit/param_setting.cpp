#include "param_setting.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "errors.h"
#include "float_text.h"

std::string unblanked(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(unblanked(text.substr(start, at - start)));
    parts.push_back(unblanked(text.substr(start)));
    return parts;
}

[[noreturn]] void refuse(const ParamSetting& setting, const std::string& why) {
    throw UsageError(settingLabel(setting) + ": " + why);
}

bool isWord(std::string text, const char* word) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text == word;
}
}  // namespace

std::string settingLabel(const ParamSetting& setting) {
    return setting.where.empty() ? "--set " + setting.text : setting.where;
}

ParamSetting parseSetting(const std::string& text) {
    ParamSetting setting;
    setting.text = text;
    const size_t equals = text.find('=');
    if (equals == std::string::npos) refuse(setting, "expected [FRAME:][EFFECT.]NAME=VALUE");
    std::string target = text.substr(0, equals);
    setting.value = text.substr(equals + 1);
    const size_t colon = target.find(':');
    if (colon != std::string::npos) {
        const std::string frame = unblanked(target.substr(0, colon));
        if (frame.empty() || frame.size() > 9 || frame.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(frame) < 1)
            refuse(setting, "the frame must be a number from 1");
        setting.frame = std::stoi(frame);
        target = target.substr(colon + 1);
    }
    const size_t dot = target.find('.');
    if (dot != std::string::npos) {
        setting.effect = unblanked(target.substr(0, dot));
        target = target.substr(dot + 1);
        if (!setting.effect.empty() && setting.effect[0] == '#') {
            const std::string n = setting.effect.substr(1);
            if (n.empty() || n.size() > 6 || n.find_first_not_of("0123456789") != std::string::npos || std::stoi(n) < 1)
                refuse(setting, "#N names the stack's Nth effect, from #1");
            setting.effectIndex = std::stoi(n) - 1;
            setting.effect.clear();
        }
    }
    setting.name = unblanked(target);
    if (setting.name.empty()) refuse(setting, "no parameter name");
    return setting;
}

Assignment resolveSetting(const ParamSetting& setting, const HostParam& param) {
    Assignment a{setting.frame, &param, {0.0f, 0.0f, 0.0f}};
    const std::string value = unblanked(setting.value);
    switch (param.kind) {
        case ParamKind::Point: {
            const auto parts = split(value, ',');
            std::string why = parts.size() == 3 ? "" : quoted(value) + " holds " + std::to_string(parts.size()) +
                                                           (parts.size() == 1 ? " number" : " numbers");
            for (size_t k = 0; k < parts.size() && k < 3 && why.empty(); ++k) why = readFloat(parts[k], a.values[k]);
            if (!why.empty()) refuse(setting, quoted(param.name) + " is a point: give three finite numbers x,y,z: " + why);
            return a;
        }
        case ParamKind::Flag:
            if (isWord(value, "on") || isWord(value, "true")) a.values[0] = 1.0f;
            else if (isWord(value, "off") || isWord(value, "false")) a.values[0] = 0.0f;
            else if (const std::string why = readFloat(value, a.values[0]); !why.empty())
                refuse(setting, why + " (a flag takes on, off, true, false or a number 0..1)");
            break;
        case ParamKind::Scalar:
        case ParamKind::Bare:
            if (const std::string why = readFloat(value, a.values[0]); !why.empty()) refuse(setting, why);
            break;
    }
    if (const std::string why = refusal(param, a.values); !why.empty()) refuse(setting, why);
    return a;
}

std::string refusal(const HostParam& param, const float* values) {
    for (int i = 0; i < (param.kind == ParamKind::Point ? 3 : 1); ++i)
        if (!std::isfinite(values[i])) return quoted(param.name) + " takes finite numbers";
    if ((param.kind == ParamKind::Flag || param.kind == ParamKind::Scalar) && !(values[0] >= 0.0f && values[0] <= 1.0f))
        return quoted(param.name) + " is a " + kindName(param.kind) + ": its value lies in 0..1";
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
