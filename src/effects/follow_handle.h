// A point parameter that drags another one along: Translate's origin drags
// the translation, Magnet's position its range point, Rotate's centre its
// axis end point.
#pragma once

#include <cmath>

#include "scene/vec_math.h"

// When the handle differs from its remembered place (exact compare, so a
// NaN counts as moved), the follower moves by the same amount and the new
// place is remembered. A component whose move is not finite (the handle
// passed through NaN or infinity) is not applied: the follower keeps a
// usable value and the handle re-anchors where it now stands.
inline void followHandle(const Vec3& handle, Vec3& remembered, Vec3& follower) {
    if (samePoint(handle, remembered)) return;
    const Vec3 move = difference(handle, remembered);
    auto follow = [](float& f, float m) {
        if (std::isfinite(m)) f = float(double(f) + m);
    };
    follow(follower.x, move.x);
    follow(follower.y, move.y);
    follow(follower.z, move.z);
    remembered = handle;
}
