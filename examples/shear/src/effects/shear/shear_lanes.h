// Shear's rule on lanes, step for step as movePoint rounds: the difference,
// the product and the sum in doubles, rounded to float once.
#pragma once

#include "effects/shear/shear_rule.h"
#include "scene/point_lanes.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

void movePoints(const ShearRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) {
    const D amount = splat(k.amount), height = splat(k.height);
    moveRecords(in, out, stride, n, lengths, [&](const FloatPoints& p) FX_ALWAYS_INLINE {
        const F x = narrow(widen(p.x) + amount * (widen(p.y) - height));
        return keepUnlessFinite({x, p.y, p.z}, p);
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
