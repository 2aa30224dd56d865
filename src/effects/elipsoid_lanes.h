// Elipsoid's rule on lanes, step for step as movePoint rounds.
#pragma once

#include "scene/batch_rules.h"
#include "effects/affine_lanes.h"
#include "scene/lane_math.h"

namespace lanes {
inline namespace FX_LANES_ISA {

// spow: v^e for positive v, -((-v)^e) otherwise.
inline D signedPower(D v, D e) {
    const Mask positive = v > splat(0.0);
    const D p = pow(select(positive, v, -v), e);
    return select(positive, p, -p);
}

inline void elipsoidPoints(const ElipsoidRule& k, const Vec3* in, size_t inStride, Vec3* out, size_t outStride,
                           size_t n) {
    const D cx = splat(k.center.x), cy = splat(k.center.y), cz = splat(k.center.z);
    const D teta = splat(k.exponentTeta), phi = splat(k.exponentPhi);
    eachGroup(in, inStride, out, outStride, n, [&](const Points& p) {
        const D dx = toFloat(p.x - cx), dy = toFloat(p.y - cy), dz = toFloat(p.z - cz);
        const D xx = dx * dx, zz = dz * dz;
        const D r = toFloat(sqrt(xx + dy * dy + zz));
        const D azimuth = toFloat(atan2(dz, dx));
        const D polar = toFloat(atan2(sqrt(xx + zz), dy));
        D sinPolar, cosPolar, sinAzimuth, cosAzimuth;
        sincos(polar, sinPolar, cosPolar);
        sincos(azimuth, sinAzimuth, cosAzimuth);
        const D ring = signedPower(sinPolar, phi);
        const D vx = toFloat(signedPower(cosAzimuth, teta) * ring);
        const D vy = toFloat(signedPower(cosPolar, phi));
        const D vz = toFloat(signedPower(sinAzimuth, teta) * ring);
        const Points moved{toFloat(cx + toFloat(r * vx)), toFloat(cy + toFloat(r * vy)), toFloat(cz + toFloat(r * vz))};
        return keepUnlessFinite(moved, p);
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
