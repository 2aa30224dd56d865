// Scale's rule on lanes: a float product per coordinate.
#pragma once

#include "effects/scale/scale_rule.h"
#include "scene/point_lanes.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

void movePoints(const ScaleRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) {
    const F gx = splatF(k.gain.x), gy = splatF(k.gain.y), gz = splatF(k.gain.z);
    const auto rule = [&](const FloatPoints& p) { return keepUnlessFinite({p.x * gx, p.y * gy, p.z * gz}, p); };
    if (lengths) return moveRecords(in, out, stride, n, lengths, rule);
    eachFloatGroupAlike(in, out, stride, n, {gx, gy, gz}, [](auto a, auto b) { return a * b; }, rule);
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
