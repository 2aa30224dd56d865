// Cosine's rule on lanes, step for step as movePoint rounds.
#pragma once

#include "scene/batch_rules.h"
#include "effects/affine_lanes.h"
#include "scene/lane_math.h"

namespace lanes {
inline namespace FX_LANES_ISA {

inline void cosinePoints(const CosineRule& k, const Vec3* in, size_t inStride, Vec3* out, size_t outStride,
                         size_t n) {
    const D cx = splat(k.center.x), cy = splat(k.center.y), cz = splat(k.center.z);
    const D phase = splat(k.timePhase), gain = splat(k.k);
    const D sx = splat(k.spatial[0]), sy = splat(k.spatial[1]), sz = splat(k.spatial[2]);
    const Axis ex(k.ex), ey(k.ey), ez(k.ez);
    const Matrix frame(k.frame);
    const auto wave = [&](D coordinate, D spatial) {
        const D x = spatial * coordinate + phase;
        return toFloat(k.tangent ? tan(x) : cos(x));
    };
    eachGroup(in, inStride, out, outStride, n, [&](const Points& p) {
        const D dx = toFloat(p.x - cx), dy = toFloat(p.y - cy), dz = toFloat(p.z - cz);
        const D lx = dotWith(dx, dy, dz, ex), ly = dotWith(dx, dy, dz, ey), lz = dotWith(dx, dy, dz, ez);
        const D wx = wave(p.x, sx), wy = wave(p.y, sy), wz = wave(p.z, sz);
        return transform(frame, {toFloat(lx + toFloat(gain * wx)), toFloat(ly + toFloat(gain * wy)),
                                 toFloat(lz + toFloat(gain * wz))});
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
