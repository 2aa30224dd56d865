// The segment lengths of a curve on lanes, each rounded as updateLengths
// rounds it: the squared length in double, its square root in float (the
// double root of a float, rounded, is the float root).
#pragma once

#include "scene/lane_records.h"

namespace lanes {
inline namespace FX_LANES_ISA {

inline void segmentLengths(const Vec3* p, uint32_t n, float* lengths) {
    const auto between = [](const FloatPoints& a, const FloatPoints& b) {
        const D dx = widen(b.x - a.x), dy = widen(b.y - a.y), dz = widen(b.z - a.z);
        const F d = sqrt(narrow(dx * dx + dy * dy + dz * dz));
        return select(d == splatF(0.0f), splatF(0.0001f), d);
    };
    uint32_t i = 0;
#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
    // Each block of points is read once: the segments' far ends are the same lanes shifted by one, the
    // last taken from the next block.
    const Block block = blockFor(sizeof(Vec3));
    if (n > 2 * kWidth) {
        FloatPoints a = block.points(block.read(p));
        for (; i + 2 * kWidth <= n; i += kWidth) {
            const FloatPoints next = block.points(block.read(p + i + kWidth));
            const auto shifted = [](F from, F to) { return F{_mm256_castsi256_ps(_mm256_alignr_epi32(
                _mm256_castps_si256(to.v), _mm256_castps_si256(from.v), 1))}; };
            storeF(lengths + i, between(a, {shifted(a.x, next.x), shifted(a.y, next.y), shifted(a.z, next.z)}));
            a = next;
        }
    }
#endif
    alignas(64) float out[kWidth];
    for (; i + 1 < n; i += kWidth) {
        const int count = n - 1 - i < uint32_t(kWidth) ? int(n - 1 - i) : kWidth;
        storeF(out, between(loadFloats(p + i, sizeof(Vec3), count), loadFloats(p + i + 1, sizeof(Vec3), count)));
        for (int j = 0; j < count; ++j) lengths[i + j] = out[j];
    }
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
