// Harmonik's rule on lanes, step for step as movePoint rounds.
#pragma once

#include "scene/batch_rules.h"
#include "scene/lane_math.h"

namespace lanes {
inline namespace FX_LANES_ISA {

inline void harmonikPoints(const HarmonikRule& k, const Vec3* in, size_t inStride, Vec3* out, size_t outStride,
                           size_t n) {
    const D cx = splat(k.center.x), cy = splat(k.center.y), cz = splat(k.center.z);
    const D one = splat(1.0), half = splat(0.5);
    const D teta = splat(k.tetaFrequency), phi = splat(k.phiFrequency), phase = splat(k.wavePhase);
    const D gain = splat(k.extremizerGain), trough = splat(k.troughScale), span = splat(k.scaleSpan);
    eachGroup(in, inStride, out, outStride, n, [&](const Points& p) {
        const D dx = toFloat(p.x - cx), dy = toFloat(p.y - cy), dz = toFloat(p.z - cz);
        const D azimuth = toFloat(atan2(dz, dx));
        const D polar = toFloat(atan2(sqrt(dx * dx + dz * dz), dy));
        const D a = toFloat(teta * azimuth);
        const D b = toFloat(phi * polar);
        D f = toFloat((sin(phase + b + a) + one) * half);
        if (k.extremized) f = toFloat(f + gain * (sin(a) + sin(b) + one) * half);
        const D s = toFloat(trough + span * f);
        return Points{s * p.x, s * p.y, s * p.z};
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
