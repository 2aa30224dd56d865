// Twist's rule: every point turned about the frame's first axis by an angle
// that grows with its height along the axis, plus the rotation clock's.
#pragma once

#include <cmath>

#include "scene/batch_rules.h"
#include "scene/scalar_math.h"
#include "scene/vec_math.h"

struct TwistRule {
    Vec3 center, dirX, dirY, dirZ;
    float twistRate;   // radians per unit of height; never exactly 0
    double turnAngle;  // the rotation clock's angle, 6.2831855 v
};

inline Vec3 movePoint(const TwistRule& k, const Vec3& p) {
    const Vec3 d = difference(p, k.center);
    const float a = dot(d, k.dirX), b = dot(d, k.dirY), h = dot(d, k.dirZ);
    const float theta = float(k.turnAngle + fxmath::atan2(double(h), double(b)) + double(a) * k.twistRate);
    const float r = float(std::sqrt(double(h) * h + double(b) * b));
    const Vec3 onAxis = sum(k.center, scaled(k.dirX, a));
    const Vec3 turned = sum(onAxis, scaled(scaled(k.dirY, r), float(fxmath::cos(double(theta)))));
    return sum(turned, scaled(scaled(k.dirZ, r), float(fxmath::sin(double(theta)))));
}

FX_LANES(TwistRule)
