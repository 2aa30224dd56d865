// Rotate's rule on lanes: the difference from the centre and the last two
// sums in floats; each sum of products in double, rounded to float where
// transformPoint rounds it.
#pragma once

#include "effects/rotate/rotate_rule.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

// The centre, and the matrix's first three rows, one lane vector per element.
struct Turn {
    explicit Turn(const RotateRule& k) : cx(splatF(k.center.x)), cy(splatF(k.center.y)), cz(splatF(k.center.z)) {
        for (int j = 0; j < 3; ++j) {
            row0[j] = splat(k.rotation.m[j]);
            row1[j] = splat(k.rotation.m[4 + j]);
            row2[j] = splat(k.rotation.m[8 + j]);
            last[j] = splatF(k.rotation.m[12 + j]);
        }
    }
    F cx, cy, cz, last[3];
    D row0[3], row1[3], row2[3];
};

// The rule is inlined into the block loop, which a call per block slowed by
// about 15 %, and its three coordinates unrolled.
void movePoints(const RotateRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) {
    if (k.still) return copyRecords(in, out, stride, n, lengths);
    const Turn t(k);
    const auto turn = [&t](const FloatPoints& p) FX_ALWAYS_INLINE {
        const D x = widen(p.x - t.cx), y = widen(p.y - t.cy), z = widen(p.z - t.cz);
        const auto turned = [&](int j) FX_ALWAYS_INLINE {
            return narrow(toFloat(y * t.row1[j] + x * t.row0[j]) + z * t.row2[j]) + t.last[j];
        };
        return FloatPoints{turned(0) + t.cx, turned(1) + t.cy, turned(2) + t.cz};
    };
    moveRecords(in, out, stride, n, lengths, turn);
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
