// Translate from spline's rule on lanes: a float sum per coordinate, which
// the doubles give exactly.
#pragma once

#include "effects/translate_from_spline/translate_from_spline_rule.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

void movePoints(const TranslateFromSplineRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n,
                float* lengths) {
    const F ox = splatF(k.offset.x), oy = splatF(k.offset.y), oz = splatF(k.offset.z);
    const auto rule = [&](const FloatPoints& p) { return FloatPoints{p.x + ox, p.y + oy, p.z + oz}; };
    if (lengths) return moveRecords(in, out, stride, n, lengths, rule);
    eachFloatGroupAlike(in, out, stride, n, {ox, oy, oz}, [](auto a, auto b) { return a + b; }, rule);
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
