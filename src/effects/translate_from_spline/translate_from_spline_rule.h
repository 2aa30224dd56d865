// Translate from spline's rule: every point moves by the offset of the
// sample followed.
#pragma once

#include "scene/batch_rules.h"
#include "scene/vec_math.h"

struct TranslateFromSplineRule {
    Vec3 offset;
};

inline Vec3 movePoint(const TranslateFromSplineRule& k, const Vec3& p) { return sum(p, k.offset); }

FX_LANES(TranslateFromSplineRule)
