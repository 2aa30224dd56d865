// Magnet's rule on lanes, step for step as movePoint rounds: the
// difference, the products by the power and the final sum in floats, the
// rest in doubles. Points outside the sphere keep their places, as
// movePoint's exact compare decides.
#pragma once

#include "effects/affine_lanes.h"
#include "effects/batch_rules.h"
#include "scene/lane_math.h"

namespace lanes {
inline namespace FX_LANES_ISA {

FX_RULE
inline void magnetPoints(const MagnetRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n,
                         float* lengths) {
    if (k.radius == 0.0f) return copyRecords(in, out, stride, n, lengths);
    const F px = splatF(k.position.x), py = splatF(k.position.y), pz = splatF(k.position.z);
    const F radiusSquared = splatF(k.radiusSquared);
    const D reach = splat(k.reach), exponent = splat(k.power);
    moveRecords(in, out, stride, n, lengths, [&](const FloatPoints& p) FX_ALWAYS_INLINE {
        const F dx = p.x - px, dy = p.y - py, dz = p.z - pz;
        const D x = widen(dx), y = widen(dy), z = widen(dz);
        const F q = narrow(z * z + y * y + x * x);
        const FMask inside = q < radiusSquared;
        if (!any(inside)) return p;
        // Lanes outside take t = 0.5, so that no library call is made for them.
        const D t = select(widen(q) < widen(radiusSquared), toFloat(sqrt(widen(q)) / reach), splat(0.5));
        const F power = narrow(pow(t, exponent));
        FloatPoints e{power * dx, power * dy, power * dz};
        const Mask divides = t != splat(0.0);
        const D r = splat(1.0) / t;
        e = {narrow(select(divides, r * widen(e.x), widen(e.x))), narrow(select(divides, r * widen(e.y), widen(e.y))),
             narrow(select(divides, r * widen(e.z), widen(e.z)))};
        const FloatPoints moved{px + e.x, py + e.y, pz + e.z};
        const FMask take = inside & finite(moved);
        return FloatPoints{select(take, moved.x, p.x), select(take, moved.y, p.y), select(take, moved.z, p.z)};
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
