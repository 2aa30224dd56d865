// Elipsoid's rule on lanes, step for step as movePoint rounds: the
// differences and the final product and sum in floats, the rest in doubles.
#pragma once

#include "effects/elipsoid/elipsoid_rule.h"
#include "scene/lane_math.h"
#include "scene/point_lanes.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

// The superellipsoid direction: (spow(cos a, teta) spow(sin p, phi), spow(cos p, phi), spow(sin a, teta)
// spow(sin p, phi)) for the azimuth a and polar angle p, where spow(v, e) is v^e for positive v,
// -((-v)^e) otherwise. The four powers are taken together.
FX_ALWAYS_INLINE inline void direction(D cosAzimuth, D sinAzimuth, D cosPolar, D sinPolar, D teta, D phi, F& x, F& y,
                                        F& z) {
    const Pack<4> v{{sinPolar, cosPolar, cosAzimuth, sinAzimuth}};
    const PackMask<4> positive = v > splat(0.0);
    const Pack<4> p = pow(select(positive, v, -v), Pack<4>{{phi, phi, teta, teta}});
    const Pack<4> signedPower = select(positive, p, -p);
    const D ring = signedPower.v[0];
    x = narrow(signedPower.v[2] * ring);
    y = narrow(signedPower.v[1]);
    z = narrow(signedPower.v[3] * ring);
}

FX_RULE
void movePoints(const ElipsoidRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) {
    const F cx = splatF(k.center.x), cy = splatF(k.center.y), cz = splatF(k.center.z);
    const D teta = splat(k.exponentTeta), phi = splat(k.exponentPhi);
    moveRecords(in, out, stride, n, lengths, [&](const FloatPoints& p) FX_ALWAYS_INLINE {
        const D dx = widen(p.x - cx), dy = widen(p.y - cy), dz = widen(p.z - cz);
        const D xx = dx * dx, zz = dz * dz;
        const F r = narrow(sqrt(xx + dy * dy + zz));
        const Pack<2> angles = atan2(Pack<2>{{dz, sqrt(xx + zz)}}, Pack<2>{{dx, dy}});
        const D azimuth = toFloat(angles.v[0]), polar = toFloat(angles.v[1]);
        Pack<2> sines, cosines;
        sincos(Pack<2>{{azimuth, polar}}, sines, cosines);
        F vx, vy, vz;
        direction(cosines.v[0], sines.v[0], cosines.v[1], sines.v[1], teta, phi, vx, vy, vz);
        return keepUnlessFinite({cx + r * vx, cy + r * vy, cz + r * vz}, p);
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
