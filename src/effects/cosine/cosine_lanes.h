// Cosine's rule on lanes, step for step as movePoint rounds: the
// difference, the wave's product and sum and the frame's last sum in
// floats, the rest in doubles.
#pragma once

#include "effects/cosine/cosine_rule.h"
#include "scene/lane_math.h"
#include "scene/point_lanes.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

FX_RULE
void movePoints(const CosineRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) {
    const F cx = splatF(k.center.x), cy = splatF(k.center.y), cz = splatF(k.center.z);
    const D phase = splat(k.timePhase);
    const F gain = splatF(k.k);
    const D sx = splat(k.spatial[0]), sy = splat(k.spatial[1]), sz = splat(k.spatial[2]);
    const Axis ex(k.ex), ey(k.ey), ez(k.ez);
    const Matrix frame(k.frame);
    F last[3];
    for (int j = 0; j < 3; ++j) last[j] = splatF(k.frame.m[12 + j]);
    // The three waves' cosines, or tangents, are taken together.
    const auto waves = [&](const FloatPoints& p) FX_ALWAYS_INLINE {
        const Pack<3> x{{sx * widen(p.x) + phase, sy * widen(p.y) + phase, sz * widen(p.z) + phase}};
        return k.tangent ? tan(x) : cos(x);
    };
    moveRecords(in, out, stride, n, lengths, [&](const FloatPoints& p) FX_ALWAYS_INLINE {
        const D dx = widen(p.x - cx), dy = widen(p.y - cy), dz = widen(p.z - cz);
        const Pack<3> w = waves(p);
        const F lx = narrow(dz * ex.z + dy * ex.y + dx * ex.x) + gain * narrow(w.v[0]);
        const F ly = narrow(dz * ey.z + dy * ey.y + dx * ey.x) + gain * narrow(w.v[1]);
        const F lz = narrow(dz * ez.z + dy * ez.y + dx * ez.x) + gain * narrow(w.v[2]);
        const D x = widen(lx), y = widen(ly), z = widen(lz);
        const auto placed = [&](int j) FX_ALWAYS_INLINE {
            return narrow(toFloat(y * frame.m[4 + j] + x * frame.m[j]) + z * frame.m[8 + j]) + last[j];
        };
        return FloatPoints{placed(0), placed(1), placed(2)};
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
