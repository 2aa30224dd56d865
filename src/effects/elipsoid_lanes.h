// Elipsoid's rule on lanes, step for step as movePoint rounds: the
// differences and the final product and sum in floats, the rest in doubles.
#pragma once

#include "effects/affine_lanes.h"
#include "effects/batch_rules.h"
#include "scene/lane_math.h"

namespace lanes {
inline namespace FX_LANES_ISA {

// spow: v^e for positive v, -((-v)^e) otherwise.
FX_ALWAYS_INLINE inline D signedPower(D v, D e) {
    const Mask positive = v > splat(0.0);
    const D p = pow(select(positive, v, -v), e);
    return select(positive, p, -p);
}

// The superellipsoid direction: (spow(cos a, teta) spow(sin p, phi), spow(cos p, phi), spow(sin a, teta)
// spow(sin p, phi)) for the azimuth a and polar angle p.
FX_ALWAYS_INLINE inline void direction(D cosAzimuth, D sinAzimuth, D cosPolar, D sinPolar, D teta, D phi, F& x, F& y,
                                        F& z) {
    const D ring = signedPower(sinPolar, phi);
    x = narrow(signedPower(cosAzimuth, teta) * ring);
    y = narrow(signedPower(cosPolar, phi));
    z = narrow(signedPower(sinAzimuth, teta) * ring);
}

FX_RULE
inline void elipsoidPoints(const ElipsoidRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n,
                           float* lengths) {
    const F cx = splatF(k.center.x), cy = splatF(k.center.y), cz = splatF(k.center.z);
    const D teta = splat(k.exponentTeta), phi = splat(k.exponentPhi);
    moveRecords(in, out, stride, n, lengths, [&](const FloatPoints& p) FX_ALWAYS_INLINE {
        const D dx = widen(p.x - cx), dy = widen(p.y - cy), dz = widen(p.z - cz);
        const D xx = dx * dx, zz = dz * dz;
        const F r = narrow(sqrt(xx + dy * dy + zz));
        const D azimuth = toFloat(atan2(dz, dx));
        const D polar = toFloat(atan2(sqrt(xx + zz), dy));
        D sinPolar, cosPolar, sinAzimuth, cosAzimuth;
        sincos(polar, sinPolar, cosPolar);
        sincos(azimuth, sinAzimuth, cosAzimuth);
        F vx, vy, vz;
        direction(cosAzimuth, sinAzimuth, cosPolar, sinPolar, teta, phi, vx, vy, vz);
        return keepUnlessFinite({cx + r * vx, cy + r * vy, cz + r * vz}, p);
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
