#include "sweep.h"

#include <cstdio>

namespace {
std::vector<float> numbers(const std::string& text) {
    std::vector<float> out;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        out.push_back(std::stof(text.substr(start, comma - start)));
        if (comma == std::string::npos) return out;
        start = comma + 1;
    }
}

std::string format(const std::vector<float>& values) {
    std::string out;
    char number[32];
    for (float v : values) {
        std::snprintf(number, sizeof number, "%.7g", double(v));
        if (!out.empty()) out += ',';
        out += number;
    }
    return out;
}
}  // namespace

std::vector<ParamSetting> expandSweep(const std::string& script, int frames) {
    const size_t equals = script.find('=');
    const std::string name = script.substr(0, equals), value = script.substr(equals + 1);
    const size_t dots = value.find("..");
    if (dots == std::string::npos) return {parseSetting(script)};
    const std::vector<float> from = numbers(value.substr(0, dots)), to = numbers(value.substr(dots + 2));
    std::vector<ParamSetting> settings;
    for (int frame = 1; frame <= frames; ++frame) {
        const double t = frames > 1 ? double(frame - 1) / (frames - 1) : 1.0;
        std::vector<float> v;
        for (size_t k = 0; k < from.size() && k < to.size(); ++k) v.push_back(float(from[k] + (to[k] - from[k]) * t));
        settings.push_back(parseSetting(std::to_string(frame) + ":" + name + "=" + format(v)));
    }
    return settings;
}

