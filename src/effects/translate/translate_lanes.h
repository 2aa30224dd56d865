// Translate's rule on lanes: a float sum per coordinate, which the doubles
// give exactly.
#pragma once

#include "effects/translate/translate_rule.h"
#include "scene/point_lanes.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

void movePoints(const TranslateRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) {
    const F tx = splatF(k.translation.x), ty = splatF(k.translation.y), tz = splatF(k.translation.z);
    const auto rule = [&](const FloatPoints& p) { return keepUnlessFinite({p.x + tx, p.y + ty, p.z + tz}, p); };
    if (lengths) return moveRecords(in, out, stride, n, lengths, rule);
    eachFloatGroupAlike(in, out, stride, n, {tx, ty, tz}, [](auto a, auto b) { return a + b; }, rule);
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
