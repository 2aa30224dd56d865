// The segment lengths of a curve on lanes, each rounded as updateLengths
// rounds it.
#pragma once

#include "scene/lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

inline void segmentLengths(const Vec3* p, uint32_t n, float* lengths) {
    alignas(64) float out[kWidth];
    for (uint32_t i = 0; i + 1 < n; i += kWidth) {
        const int count = n - 1 - i < uint32_t(kWidth) ? int(n - 1 - i) : kWidth;
        const Points a = loadPoints(p + i, sizeof(Vec3), count), b = loadPoints(p + i + 1, sizeof(Vec3), count);
        const D dx = toFloat(b.x - a.x), dy = toFloat(b.y - a.y), dz = toFloat(b.z - a.z);
        const D d = toFloat(sqrt(toFloat(dx * dx + dy * dy + dz * dz)));
        toFloats(out, select(d == splat(0.0), splat(double(0.0001f)), d));
        for (int j = 0; j < count; ++j) lengths[i + j] = out[j];
    }
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
