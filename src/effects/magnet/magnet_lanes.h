// Magnet's rule on lanes, step for step as movePoint rounds: the
// difference, the products by the power and the final sum in floats, the
// rest in doubles. Points outside the sphere keep their places, as
// movePoint's exact compare decides.
#pragma once

#include "effects/magnet/magnet_rule.h"
#include "scene/lane_math.h"
#include "scene/point_lanes.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

FX_RULE
void movePoints(const MagnetRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) {
    if (k.radius == 0.0f) return copyRecords(in, out, stride, n, lengths);
    const F px = splatF(k.position.x), py = splatF(k.position.y), pz = splatF(k.position.z);
    const F radiusSquared = splatF(k.radiusSquared);
    const D reach = splat(k.reach), exponent = splat(k.power);
    // Two groups in step, so that their powers interleave.
    moveRecords(in, out, stride, n, lengths, [&]<int K>(const Groups<K>& g) FX_ALWAYS_INLINE {
        FloatPoints d[K];
        F q[K];
        FMask inside[K];
        bool anyInside = false;
        _Pragma("GCC unroll 2") for (int i = 0; i < K; ++i) {
            const FloatPoints& p = g.p[i];
            d[i] = {p.x - px, p.y - py, p.z - pz};
            const D x = widen(d[i].x), y = widen(d[i].y), z = widen(d[i].z);
            q[i] = narrow(z * z + y * y + x * x);
            inside[i] = q[i] < radiusSquared;
            anyInside = anyInside || any(inside[i]);
        }
        if (!anyInside) return g;
        // Lanes outside take t = 0.5, so that no library call is made for them.
        Pack<K> t, e;
        _Pragma("GCC unroll 2") for (int i = 0; i < K; ++i) {
            t.v[i] = select(widen(q[i]) < widen(radiusSquared), toFloat(sqrt(widen(q[i])) / reach), splat(0.5));
            e.v[i] = exponent;
        }
        const Pack<K> powers = pow(t, e);
        Groups<K> moved;
        _Pragma("GCC unroll 2") for (int i = 0; i < K; ++i) {
            const FloatPoints& p = g.p[i];
            const F power = narrow(powers.v[i]);
            FloatPoints m{power * d[i].x, power * d[i].y, power * d[i].z};
            const Mask divides = t.v[i] != splat(0.0);
            const D r = splat(1.0) / t.v[i];
            m = {narrow(select(divides, r * widen(m.x), widen(m.x))), narrow(select(divides, r * widen(m.y), widen(m.y))),
                 narrow(select(divides, r * widen(m.z), widen(m.z)))};
            const FloatPoints placed{px + m.x, py + m.y, pz + m.z};
            const FMask take = inside[i] & finite(placed);
            moved.p[i] = {select(take, placed.x, p.x), select(take, placed.y, p.y), select(take, placed.z, p.z)};
        }
        return moved;
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
