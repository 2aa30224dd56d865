// Rotate's rule: the rotation matrix about the axis through the centre; an
// axis without direction leaves every point where it is.
#pragma once

#include "scene/batch_rules.h"
#include "scene/vec_math.h"

struct RotateRule {
    bool still;  // the axis has no direction: points stay
    Vec3 center;
    Mat4 rotation;
};

inline Vec3 movePoint(const RotateRule& k, const Vec3& p) {
    if (k.still) return p;
    return sum(transformPoint(k.rotation, difference(p, k.center)), k.center);
}

FX_LANES(RotateRule)
