// Scale's rule: each coordinate times its gain (the size's factor less the
// origin's coordinate); a point whose moved place would not be finite keeps
// its place.
#pragma once

#include "scene/batch_rules.h"
#include "scene/vec_math.h"

struct ScaleRule {
    Vec3 gain;
};

inline Vec3 movePoint(const ScaleRule& k, const Vec3& p) {
    const Vec3 moved{p.x * k.gain.x, p.y * k.gain.y, p.z * k.gain.z};
    return isFinite(moved) ? moved : p;
}

FX_LANES(ScaleRule)
