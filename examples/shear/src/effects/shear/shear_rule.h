// Shear's rule: every point slides along x by "amount" times its height
// above "height"; a point whose moved place would not be finite keeps its
// place.
#pragma once

#include "scene/batch_rules.h"
#include "scene/vec_math.h"

struct ShearRule {
    float amount, height;
};

inline Vec3 movePoint(const ShearRule& k, const Vec3& p) {
    const Vec3 moved{float(double(p.x) + double(k.amount) * (double(p.y) - k.height)), p.y, p.z};
    return isFinite(moved) ? moved : p;
}

FX_LANES(ShearRule)
