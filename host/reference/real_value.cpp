#include "real_value.h"

#include <cmath>
#include <cstdio>

float curveValue(const ExpCurve& curve, float p) {
    const float A = curve.max - curve.min;
    const float M = curve.mid - curve.min;
    const float D = float(double(A) * A - 4.0 * M * (double(A) - M));
    const float B = float((std::sqrt(double(D)) + A) / (double(M) + M));
    const float c = float(M / (double(B) - 1.0));
    const float k = float(std::log(double(B)) + std::log(double(B)));
    return float((std::exp(double(k) * p) - 1.0) * c + curve.min);
}

double realValue(const ParamReference& entry, float v, bool alternate) {
    const float s = float(2.0 * v - 1.0);
    if (entry.scale) return s * *entry.scale;
    if (!entry.curve) return v;
    const ExpCurve& curve = alternate && entry.alternate ? *entry.alternate : *entry.curve;
    if (entry.clock || entry.isSigned) {
        // A clock at exactly 0.5 stands still; a signed rate keeps its curve's floor.
        if (entry.clock && s == 0.0f) return 0.0;
        const double magnitude = curveValue(curve, std::fabs(s)) * entry.clock.value_or(1.0);
        return s < 0.0f ? -magnitude : magnitude;
    }
    if (entry.offAtZero && !(v > 0.0f)) return 0.0;
    const double value = curveValue(curve, v);
    return entry.whole ? std::trunc(value) : value;
}

std::string shortNumber(double v) {
    if (v == 0.0) return "0";  // no "-0"
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", v);
    return text;
}

namespace {
std::string withUnit(const std::string& number, const std::string& unit) {
    if (unit.empty()) return number;
    return number + (unit == "×" ? "" : " ") + unit;
}
}  // namespace

std::string realText(const ParamReference& entry, const float* values, bool alternate) {
    if (entry.kind == "flag") return values[0] >= 0.5f ? "on" : "off";
    // Appended piece by piece: GCC 12 mistakes "(" + std::string for an overlapping copy.
    std::string text = entry.kind == "point" ? "(" : "";
    if (entry.kind == "point") {
        for (int k = 0; k < 3; ++k) (text += k ? ", " : "") += shortNumber(values[k]);
        return withUnit(text + ")", entry.unit);
    }
    const double real = realValue(entry, values[0], alternate);
    if (entry.offAtZero && real == 0.0) return "off";
    const bool sign = entry.clock || entry.isSigned || entry.scale;
    if (sign && real > 0.0) text += "+";
    return withUnit(text + shortNumber(real), entry.unit);
}
