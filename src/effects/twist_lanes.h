// Twist's rule on lanes, step for step as movePoint rounds.
#pragma once

#include "scene/batch_rules.h"
#include "effects/affine_lanes.h"
#include "scene/lane_math.h"

namespace lanes {
inline namespace FX_LANES_ISA {

inline void twistPoints(const TwistRule& k, const Vec3* in, size_t inStride, Vec3* out, size_t outStride,
                        size_t n) {
    const D cx = splat(k.center.x), cy = splat(k.center.y), cz = splat(k.center.z);
    const Axis dirX(k.dirX), dirY(k.dirY), dirZ(k.dirZ);
    const D turn = splat(k.turnAngle), rate = splat(k.twistRate);
    eachGroup(in, inStride, out, outStride, n, [&](const Points& p) {
        const D dx = toFloat(p.x - cx), dy = toFloat(p.y - cy), dz = toFloat(p.z - cz);
        const D a = dotWith(dx, dy, dz, dirX), b = dotWith(dx, dy, dz, dirY), h = dotWith(dx, dy, dz, dirZ);
        const D theta = toFloat(turn + atan2(h, b) + a * rate);
        const D r = toFloat(sqrt(h * h + b * b));
        D s, c;
        sincos(theta, s, c);
        s = toFloat(s);
        c = toFloat(c);
        // ((C + dirX a) + (dirY r) cos) + (dirZ r) sin, every product and sum rounded.
        const auto along = [&](D centre, D x, D y, D z) {
            const D onAxis = toFloat(centre + toFloat(x * a));
            const D turned = toFloat(onAxis + toFloat(c * toFloat(y * r)));
            return turned + toFloat(s * toFloat(z * r));
        };
        return Points{along(cx, dirX.x, dirY.x, dirZ.x), along(cy, dirX.y, dirY.y, dirZ.y),
                      along(cz, dirX.z, dirY.z, dirZ.z)};
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
