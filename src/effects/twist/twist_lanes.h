// Twist's rule on lanes, step for step as movePoint rounds: the difference
// and the final products and sums in floats, the rest in doubles.
#pragma once

#include "effects/twist/twist_rule.h"
#include "scene/lane_math.h"
#include "scene/point_lanes.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

FX_RULE
void movePoints(const TwistRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) {
    const F cx = splatF(k.center.x), cy = splatF(k.center.y), cz = splatF(k.center.z);
    const Axis dirX(k.dirX), dirY(k.dirY), dirZ(k.dirZ);
    const F xx = splatF(k.dirX.x), xy = splatF(k.dirX.y), xz = splatF(k.dirX.z);
    const F yx = splatF(k.dirY.x), yy = splatF(k.dirY.y), yz = splatF(k.dirY.z);
    const F zx = splatF(k.dirZ.x), zy = splatF(k.dirZ.y), zz = splatF(k.dirZ.z);
    const D turn = splat(k.turnAngle), rate = splat(k.twistRate);
    // Two groups in step, so that their atan2 and sincos chains interleave.
    moveRecords(in, out, stride, n, lengths, [&]<int K>(const Groups<K>& g) FX_ALWAYS_INLINE {
        Pack<K> a, b, h, theta;
        _Pragma("GCC unroll 2") for (int i = 0; i < K; ++i) {
            const FloatPoints& p = g.p[i];
            const D dx = widen(p.x - cx), dy = widen(p.y - cy), dz = widen(p.z - cz);
            a.v[i] = dotWith(dx, dy, dz, dirX);
            b.v[i] = dotWith(dx, dy, dz, dirY);
            h.v[i] = dotWith(dx, dy, dz, dirZ);
        }
        const Pack<K> angle = turn + atan2(h, b) + a * rate;
        _Pragma("GCC unroll 2") for (int i = 0; i < K; ++i) theta.v[i] = toFloat(angle.v[i]);
        Pack<K> sd, cd;
        sincos(theta, sd, cd);
        Groups<K> moved;
        _Pragma("GCC unroll 2") for (int i = 0; i < K; ++i) {
            const F r = narrow(sqrt(h.v[i] * h.v[i] + b.v[i] * b.v[i])), af = narrow(a.v[i]);
            const F s = narrow(sd.v[i]), c = narrow(cd.v[i]);
            // ((C + dirX a) + (dirY r) cos) + (dirZ r) sin, every product and sum a float operation.
            const auto along = [&](F centre, F x, F y, F z) FX_ALWAYS_INLINE {
                return centre + x * af + c * (y * r) + s * (z * r);
            };
            moved.p[i] = FloatPoints{along(cx, xx, yx, zx), along(cy, xy, yy, zy), along(cz, xz, yz, zz)};
        }
        return moved;
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
