// Harmonik's rule on lanes, step for step as movePoint rounds: the
// differences and the final products in floats, the rest in doubles.
#pragma once

#include "effects/harmonik/harmonik_rule.h"
#include "scene/lane_math.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

FX_RULE
void movePoints(const HarmonikRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) {
    const F cx = splatF(k.center.x), cy = splatF(k.center.y), cz = splatF(k.center.z);
    const D one = splat(1.0), half = splat(0.5);
    const F teta = splatF(k.tetaFrequency), phi = splatF(k.phiFrequency);
    const D phase = splat(k.wavePhase);
    const D gain = splat(k.extremizerGain), trough = splat(k.troughScale), span = splat(k.scaleSpan);
    moveRecords(in, out, stride, n, lengths, [&](const FloatPoints& p) FX_ALWAYS_INLINE {
        const D dx = widen(p.x - cx), dy = widen(p.y - cy), dz = widen(p.z - cz);
        // The frequency times the float angle, a float product.
        const Pack<2> angles = atan2(Pack<2>{{dz, sqrt(dx * dx + dz * dz)}}, Pack<2>{{dx, dy}});
        const D a = widen(teta * narrow(angles.v[0]));
        const D b = widen(phi * narrow(angles.v[1]));
        D f;
        if (k.extremized) {  // the three sines taken together
            const Pack<3> s = sin(Pack<3>{{phase + b + a, a, b}});
            f = toFloat((s.v[0] + one) * half);
            f = toFloat(f + gain * (s.v[1] + s.v[2] + one) * half);
        } else {
            f = toFloat((sin(phase + b + a) + one) * half);
        }
        const F s = narrow(trough + span * f);
        return FloatPoints{s * p.x, s * p.y, s * p.z};
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
