// Elipsoid's rule: every point keeps its distance from the centre and its
// two angles, its direction becoming the superellipsoid's.
#pragma once

#include <cmath>

#include "scene/batch_rules.h"
#include "scene/scalar_math.h"
#include "scene/vec_math.h"

struct ElipsoidRule {
    Vec3 center;
    float exponentTeta, exponentPhi;
};

// v^e for positive v, -((-v)^e) otherwise: the sign survives the power.
inline double spow(double v, double e) { return v > 0.0 ? fxmath::pow(v, e) : -fxmath::pow(-v, e); }

// Azimuth about y from the x axis towards z, polar angle from +y. A point
// whose moved place would not be finite keeps its place.
inline Vec3 movePoint(const ElipsoidRule& k, const Vec3& p) {
    const Vec3 d = difference(p, k.center);
    const double xx = double(d.x) * d.x, zz = double(d.z) * d.z;
    const float r = float(std::sqrt(xx + double(d.y) * d.y + zz));
    const float azimuth = float(fxmath::atan2(double(d.z), double(d.x)));
    const float polar = float(fxmath::atan2(std::sqrt(xx + zz), double(d.y)));
    const double ring = spow(fxmath::sin(double(polar)), k.exponentPhi);
    const Vec3 v{float(spow(fxmath::cos(double(azimuth)), k.exponentTeta) * ring),
                 float(spow(fxmath::cos(double(polar)), k.exponentPhi)),
                 float(spow(fxmath::sin(double(azimuth)), k.exponentTeta) * ring)};
    const Vec3 moved = sum(k.center, scaled(v, r));
    return isFinite(moved) ? moved : p;
}

FX_LANES(ElipsoidRule)
