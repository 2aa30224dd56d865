// Magnet's rule: a point inside the sphere moves to the normalised distance
// t^power along its direction from the centre. A negative radius acts as its
// magnitude, the sphere the gizmo shows; a point whose moved place would not
// be finite keeps its place.
#pragma once

#include <cmath>

#include "scene/batch_rules.h"
#include "scene/scalar_math.h"
#include "scene/vec_math.h"

struct MagnetRule {
    Vec3 position;
    float radius, radiusSquared, power;
    double reach;  // |radius|
};

inline Vec3 movePoint(const MagnetRule& k, const Vec3& p) {
    if (k.radius == 0.0f) return p;
    const Vec3 d = difference(p, k.position);
    const float q = dot(d, d);
    if (!(q < k.radiusSquared)) return p;
    const float t = float(std::sqrt(double(q)) / k.reach);
    Vec3 e = scaled(d, float(fxmath::pow(double(t), double(k.power))));
    divide(e, t);
    const Vec3 moved = sum(k.position, e);
    return isFinite(moved) ? moved : p;
}

FX_LANES(MagnetRule)
