// Translate's rule: every point moves by the translation; a point whose
// moved place would not be finite keeps its place.
#pragma once

#include "scene/batch_rules.h"
#include "scene/vec_math.h"

struct TranslateRule {
    Vec3 translation;
};

inline Vec3 movePoint(const TranslateRule& k, const Vec3& p) {
    const Vec3 moved = sum(p, k.translation);
    return isFinite(moved) ? moved : p;
}

FX_LANES(TranslateRule)
