// The segment lengths of a curve on lanes, each rounded as updateLengths
// rounds it: the squared length in double, its square root in float (the
// double root of a float, rounded, is the float root); and the moving of a
// run of records that also writes, for a curve's points, those lengths.
#pragma once

#include "scene/lane_records.h"

namespace lanes {
inline namespace FX_LANES_ISA {

// The lengths from the points a to the points b, 0.0001 for exactly 0.
inline F segmentsBetween(const FloatPoints& a, const FloatPoints& b) {
    const D dx = widen(b.x - a.x), dy = widen(b.y - a.y), dz = widen(b.z - a.z);
    const F d = sqrt(narrow(dx * dx + dy * dy + dz * dz));
    return select(d == splatF(0.0f), splatF(0.0001f), d);
}

#if defined(FX_LANES_BLOCKS)
// The points one further on: a's lanes shifted down by one, the last from next.
inline FloatPoints following(const FloatPoints& a, const FloatPoints& next) {
#if defined(__AVX512F__)
    const auto shift = [](F from, F to) {
        return F{_mm256_castsi256_ps(_mm256_alignr_epi32(_mm256_castps_si256(to.v), _mm256_castps_si256(from.v), 1))};
    };
#else
    const auto shift = [](F from, F to) {
        return F{_mm_castsi128_ps(_mm_alignr_epi8(_mm_castps_si128(to.v), _mm_castps_si128(from.v), 4))};
    };
#endif
    return {shift(a.x, next.x), shift(a.y, next.y), shift(a.z, next.z)};
}
#endif

// lengths[i] for the segments from point i to i + 1, i below n - 1.
inline void segmentLengths(const Vec3* p, uint32_t n, float* lengths) {
    uint32_t i = 0;
#if defined(FX_LANES_BLOCKS)
    // Each block of points is read once: the segments' far ends are the same lanes shifted by one.
    const Block block = blockFor(sizeof(Vec3));
    if (n > 2 * kWidth) {
        FloatPoints a = block.points(block.read(p));
        for (; i + 2 * kWidth <= n; i += kWidth) {
            const FloatPoints next = block.points(block.read(p + i + kWidth));
            storeF(lengths + i, segmentsBetween(a, following(a, next)));
            a = next;
        }
    }
#endif
    alignas(64) float out[kWidth];
    for (; i + 1 < n; i += kWidth) {
        const int count = n - 1 - i < uint32_t(kWidth) ? int(n - 1 - i) : kWidth;
        storeF(out, segmentsBetween(loadFloats(p + i, sizeof(Vec3), count),
                                    loadFloats(p + i + 1, sizeof(Vec3), count)));
        for (int j = 0; j < count; ++j) lengths[i + j] = out[j];
    }
}

// eachFloatGroup; with `lengths` (the records then being a curve's points)
// also the segment lengths of the moved points, taken while they are still
// in the lanes.
template <class Rule>
inline void moveRecords(const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths, Rule rule) {
    if (!lengths) return eachFloatGroup(in, out, stride, n, rule);
    size_t i = 0, measured = 0;  // points moved; segments written
#if defined(FX_LANES_BLOCKS)
    const Block block = blockFor(sizeof(Vec3));
    FloatPoints previous{};
    if constexpr (kTakesPairs<Rule>)
        for (; i + 2 * kWidth <= n; i += 2 * kWidth) {
            const Block::Raw r0 = block.read(in + i), r1 = block.read(in + i + kWidth);
            const Groups<2> moved = rule(Groups<2>{{block.points(r0), block.points(r1)}});
            block.write(out + i, r0, moved.p[0]);
            block.write(out + i + kWidth, r1, moved.p[1]);
            if (i) {
                storeF(lengths + measured, segmentsBetween(previous, following(previous, moved.p[0])));
                measured += kWidth;
            }
            storeF(lengths + measured, segmentsBetween(moved.p[0], following(moved.p[0], moved.p[1])));
            measured += kWidth;
            previous = moved.p[1];
        }
    for (; i + kWidth <= n; i += kWidth) {
        const Block::Raw r = block.read(in + i);
        const FloatPoints moved = moveGroup(rule, block.points(r));
        block.write(out + i, r, moved);
        if (i) {
            storeF(lengths + measured, segmentsBetween(previous, following(previous, moved)));
            measured += kWidth;
        }
        previous = moved;
    }
#endif
    eachFloatGroup(in + i, out + i, stride, n - i, rule);
    segmentLengths(out + measured, uint32_t(n - measured), lengths + measured);
}

// copyRecords, with the lengths of the copied points when asked.
inline void copyRecords(const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) {
    copyRecords(in, out, stride, n);
    if (lengths) segmentLengths(out, uint32_t(n), lengths);
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
