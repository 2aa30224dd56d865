// Harmonik's rule: every point scaled, about the origin, by the pattern's
// value at its azimuth and polar angle about the centre.
#pragma once

#include <cmath>

#include "scene/batch_rules.h"
#include "scene/scalar_math.h"
#include "scene/vec_math.h"

struct HarmonikRule {
    Vec3 center;
    float tetaFrequency, phiFrequency;
    bool extremized;
    float extremizerGain;
    double wavePhase;  // radians; kept in double as the rule sums it
    float troughScale;  // the scale where the pattern is 0
    double scaleSpan;   // the crest's scale less the trough's, unrounded as the rule uses it
};

inline Vec3 movePoint(const HarmonikRule& k, const Vec3& p) {
    const Vec3 d = difference(p, k.center);
    const float azimuth = float(fxmath::atan2(double(d.z), double(d.x)));
    const float polar = float(fxmath::atan2(std::sqrt(double(d.x) * d.x + double(d.z) * d.z), double(d.y)));
    const float a = float(double(k.tetaFrequency) * azimuth);
    const float b = float(double(k.phiFrequency) * polar);
    float f = float((fxmath::sin(k.wavePhase + b + a) + 1.0) * 0.5);
    if (k.extremized)
        f = float(f + double(k.extremizerGain) * (fxmath::sin(double(a)) + fxmath::sin(double(b)) + 1.0) * 0.5);
    return scaled(p, float(k.troughScale + k.scaleSpan * f));
}

FX_LANES(HarmonikRule)
