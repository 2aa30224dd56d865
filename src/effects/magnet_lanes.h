// Magnet's rule on lanes, step for step as movePoint rounds; the points
// outside the sphere keep their places, as movePoint's exact compare decides.
#pragma once

#include "scene/batch_rules.h"
#include "effects/affine_lanes.h"
#include "scene/lane_math.h"

namespace lanes {
inline namespace FX_LANES_ISA {

inline void magnetPoints(const MagnetRule& k, const Vec3* in, size_t inStride, Vec3* out, size_t outStride,
                         size_t n) {
    if (k.radius == 0.0f) return copyPoints(in, inStride, out, outStride, n);
    const D px = splat(k.position.x), py = splat(k.position.y), pz = splat(k.position.z);
    const D radiusSquared = splat(k.radiusSquared), reach = splat(k.reach), exponent = splat(k.power);
    eachGroup(in, inStride, out, outStride, n, [&](const Points& p) {
        const D dx = toFloat(p.x - px), dy = toFloat(p.y - py), dz = toFloat(p.z - pz);
        const D q = toFloat(dz * dz + dy * dy + dx * dx);
        const Mask inside = q < radiusSquared;
        if (!any(inside)) return p;
        // Lanes outside take t = 0.5, so that no library call is made for them.
        const D t = select(inside, toFloat(sqrt(q) / reach), splat(0.5));
        const D power = toFloat(pow(t, exponent));
        Points e{toFloat(power * dx), toFloat(power * dy), toFloat(power * dz)};
        const Mask divides = t != splat(0.0);
        const D r = splat(1.0) / t;
        e = {select(divides, toFloat(r * e.x), e.x), select(divides, toFloat(r * e.y), e.y),
             select(divides, toFloat(r * e.z), e.z)};
        const Points moved{toFloat(px + e.x), toFloat(py + e.y), toFloat(pz + e.z)};
        const Mask take = inside & finite(moved);
        return Points{select(take, moved.x, p.x), select(take, moved.y, p.y), select(take, moved.z, p.z)};
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
