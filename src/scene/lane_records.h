// Point records read into lanes and written back, kWidth at a time: a
// record is `stride` bytes whose first three floats are a point (a particle
// record, a spline point, a vertex).
#pragma once

#include <cstring>
#include <type_traits>

#include "scene/lanes.h"

// The AVX-512 and AVX2 lanes read and write whole blocks of records.
#if !defined(FX_LANES_ONE) && defined(__AVX2__) && defined(__FMA__)
#define FX_LANES_BLOCKS
#endif

namespace lanes {
inline namespace FX_LANES_ISA {

// The points of kWidth records, one float lane per coordinate.
struct FloatPoints {
    F x, y, z;
};

// The points at at(0) .. at(kWidth - 1), record by record.
template <class At>
inline FloatPoints gatherFloats(At at) {
#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
    const float *r0 = at(0), *r1 = at(1), *r2 = at(2), *r3 = at(3), *r4 = at(4), *r5 = at(5), *r6 = at(6), *r7 = at(7);
    const auto lane = [&](int c) { return F{_mm256_setr_ps(r0[c], r1[c], r2[c], r3[c], r4[c], r5[c], r6[c], r7[c])}; };
#elif defined(__AVX2__) && defined(__FMA__)
    const float *r0 = at(0), *r1 = at(1), *r2 = at(2), *r3 = at(3);
    const auto lane = [&](int c) { return F{_mm_setr_ps(r0[c], r1[c], r2[c], r3[c])}; };
#else
    const float *r0 = at(0), *r1 = at(1);
    const auto lane = [&](int c) { return F{_mm_setr_ps(r0[c], r1[c], 0.0f, 0.0f)}; };
#endif
    return {lane(0), lane(1), lane(2)};
}

// K groups of points, which a rule may take in step (its chains then
// interleave) where it is written for them: [&]<int K>(const Groups<K>&).
template <int K>
struct Groups {
    FloatPoints p[K];
};

template <class Rule>
constexpr bool kTakesPairs = std::is_invocable_v<Rule&, const Groups<2>&>;

// rule on one group, whichever way it takes them.
template <class Rule>
FX_ALWAYS_INLINE inline FloatPoints moveGroup(Rule& rule, const FloatPoints& p) {
    if constexpr (std::is_invocable_v<Rule&, const FloatPoints&>)
        return rule(p);
    else
        return rule(Groups<1>{{p}}).p[0];
}

// Lanes past `count` repeat the last record.
inline FloatPoints loadFloats(const void* first, size_t stride, int count = kWidth) {
    const char* base = static_cast<const char*>(first);
    return gatherFloats(
        [&](int i) { return reinterpret_cast<const float*>(base + size_t(i < count ? i : count - 1) * stride); });
}

// Stores the first `count` lanes into the first `count` records.
inline void storeFloats(void* first, size_t stride, const FloatPoints& v, int count = kWidth) {
    alignas(64) float xs[kWidth], ys[kWidth], zs[kWidth];
    storeF(xs, v.x);
    storeF(ys, v.y);
    storeF(zs, v.z);
    char* p = static_cast<char*>(first);
    for (int i = 0; i < count; ++i, p += stride) {
        float* r = reinterpret_cast<float*>(p);
        r[0] = xs[i];
        r[1] = ys[i];
        r[2] = zs[i];
    }
}


#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
// Eight whole records at once: the block of 8 records `stride` bytes apart
// (24, 32, 40 or 48 floats) read as two or three vectors of 16 or 8 floats,
// its positions picked out by permutes, put back by permutes and blends, and
// the whole block written. Plain loads and stores: masked ones stall here.
class Block {
public:
    explicit Block(size_t stride) {
        const int w = int(stride / 4), floats = 8 * w;
        usable_ = stride % 4 == 0 && w >= 3 && w <= 6;
        dense_ = w == 3;
        if (!usable_) return;
        alignas(64) int32_t first[16], third[16];
        for (int c = 0; c < 3; ++c) {
            unsigned fromThird = 0;
            for (int r = 0; r < 16; ++r) {
                const int g = (r < 8 ? r : 0) * w + c;
                first[r] = g < 32 ? g : 0;
                third[r] = g < 32 ? 0 : g - 32;
                if (g >= 32) fromThird |= 1u << r;
            }
            pick_[c] = _mm512_load_si512(first);
            pickThird_[c] = _mm512_load_si512(third);
            fromThird_[c] = __mmask16(fromThird);
        }
        for (int v = 0; v < 3; ++v) {
            const int rest = floats - 16 * v;
            part_[v] = rest >= 16 ? 16 : rest > 0 ? rest : 0;  // 16, 8 or 0
            unsigned positions = 0;
            for (int l = 0; l < 16; ++l) {
                const int g = 16 * v + l, r = g / w, c = g % w;
                const bool position = g < floats && c < 3;
                first[l] = position ? 8 * c + r : 0;  // x0..x7 y0..y7 | z0..z7
                if (position) positions |= 1u << l;
            }
            place_[v] = _mm512_load_si512(first);
            positions_[v] = __mmask16(positions);
        }
    }

    bool usable() const { return usable_; }

    // The block's floats, as read.
    struct Raw {
        __m512 a, b, c;
    };

    Raw read(const void* first) const {
        const float* f = static_cast<const float*>(first);
        return {_mm512_loadu_ps(f), loadPart(f + 16, 1), loadPart(f + 32, 2)};
    }

    FloatPoints points(const Raw& r) const {
        return {component(r.a, r.b, r.c, 0), component(r.a, r.b, r.c, 1), component(r.a, r.b, r.c, 2)};
    }

    // The block `r` with its points replaced by `p`, written whole.
    void write(void* first, const Raw& r, const FloatPoints& p) const {
        float* f = static_cast<float*>(first);
        const __m512 xy = _mm512_insertf32x8(_mm512_castps256_ps512(p.x.v), p.y.v, 1);
        const __m512 z = _mm512_castps256_ps512(p.z.v);
        if (dense_) {  // records that are points alone: nothing to keep between them
            _mm512_storeu_ps(f, _mm512_permutex2var_ps(xy, place_[0], z));
            _mm256_storeu_ps(f + 16, _mm512_castps512_ps256(_mm512_permutex2var_ps(xy, place_[1], z)));
            return;
        }
        _mm512_storeu_ps(f, _mm512_mask_blend_ps(positions_[0], r.a, _mm512_permutex2var_ps(xy, place_[0], z)));
        storePart(f + 16, 1, _mm512_mask_blend_ps(positions_[1], r.b, _mm512_permutex2var_ps(xy, place_[1], z)));
        storePart(f + 32, 2, _mm512_mask_blend_ps(positions_[2], r.c, _mm512_permutex2var_ps(xy, place_[2], z)));
    }

private:
    // A vector of 8 floats is read and written as 8 lanes, so that no access
    // reaches into the next block, whose loads would wait for these stores.
    __m512 loadPart(const float* f, int v) const {
        if (part_[v] == 16) return _mm512_loadu_ps(f);
        if (part_[v] == 8) return _mm512_castps256_ps512(_mm256_loadu_ps(f));
        return _mm512_setzero_ps();
    }
    void storePart(float* f, int v, __m512 data) const {
        if (part_[v] == 16)
            _mm512_storeu_ps(f, data);
        else if (part_[v] == 8)
            _mm256_storeu_ps(f, _mm512_castps512_ps256(data));
    }

    F component(__m512 a, __m512 b, __m512 c, int k) const {
        __m512 t = _mm512_permutex2var_ps(a, pick_[k], b);
        if (fromThird_[k]) t = _mm512_mask_permutexvar_ps(t, fromThird_[k], pickThird_[k], c);
        return {_mm512_castps512_ps256(t)};
    }

    bool usable_, dense_;
    int part_[3];
    __m512i pick_[3], pickThird_[3], place_[3];
    __mmask16 fromThird_[3], positions_[3];
};

#elif defined(__AVX2__) && defined(__FMA__)
// Four whole records at once, of the two strides the pass uses: a point (12
// bytes: 12 floats, read as vectors of 8 and 4) or a particle record (20
// bytes: 20 floats, as 8, 8 and 4). The points are picked out and put back
// by shuffles within 128-bit halves (the permutes across halves cost more
// than the arithmetic of a light rule); the records' other words go back as
// read: for every rule, cheaper than gathering the points record by record
// (by 4 to 18 % per particle, up to half on a curve). eachFloatGroupAlike
// also applies an operation to the positions where they sit, masked.
class Block {
public:
    explicit Block(size_t stride) {
        const int w = int(stride / 4), floats = 4 * w;
        usable_ = stride == 12 || stride == 20;
        particles_ = stride == 20;
        if (!usable_) return;
        alignas(32) int32_t placeXY[8], placeZ[8], isZ[8], isPos[8];
        for (int v = 0; v < 3; ++v) {
            const int rest = floats - 8 * v;
            part_[v] = rest >= 8 ? 8 : rest > 0 ? 4 : 0;
            for (int l = 0; l < 8; ++l) {
                const int g = 8 * v + l, r = g / w, c = g % w;
                const bool position = g < floats && c < 3;
                placeXY[l] = position && c < 2 ? 4 * c + r : 0;  // x0..x3 y0..y3
                placeZ[l] = position ? r : 0;
                isZ[l] = position && c == 2 ? -1 : 0;
                isPos[l] = position ? -1 : 0;
            }
            placeXY_[v] = load(placeXY);
            placeZ_[v] = load(placeZ);
            isZ_[v] = load(isZ);
            isPos_[v] = load(isPos);
        }
    }

    bool usable() const { return usable_; }

    // The block's floats, as read.
    struct Raw {
        __m256 a, b, c;
    };

    // The block's points where they sit, zeros between them.
    Raw positions(const Raw& r) const {
        return {_mm256_and_ps(r.a, mask(isPos_[0])), _mm256_and_ps(r.b, mask(isPos_[1])),
                _mm256_and_ps(r.c, mask(isPos_[2]))};
    }

    // `p`'s lanes spread over the block as its points sit, zeros between them.
    Raw spread(const FloatPoints& p) const { return {placed(p, 0), placed(p, 1), placed(p, 2)}; }

    // Whether every float of `r` is finite.
    static bool finite(const Raw& r) {
        const __m256 magnitude = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
        const __m256 top = _mm256_set1_ps(3.4028235e38f);
        const auto ok = [&](__m256 v) { return _mm256_cmp_ps(_mm256_and_ps(v, magnitude), top, _CMP_LE_OQ); };
        return _mm256_movemask_ps(_mm256_and_ps(_mm256_and_ps(ok(r.a), ok(r.b)), ok(r.c))) == 0xFF;
    }

    // The block `r` with its points taken from `moved` (laid out as a block), written whole.
    void write(void* first, const Raw& r, const Raw& moved) const {
        float* f = static_cast<float*>(first);
        storePart(f, 0, _mm256_blendv_ps(r.a, moved.a, mask(isPos_[0])));
        storePart(f + 8, 1, _mm256_blendv_ps(r.b, moved.b, mask(isPos_[1])));
        storePart(f + 16, 2, _mm256_blendv_ps(r.c, moved.c, mask(isPos_[2])));
    }

    Raw read(const void* first) const {
        const float* f = static_cast<const float*>(first);
        return {loadPart(f, 0), loadPart(f + 8, 1), loadPart(f + 16, 2)};
    }

    FloatPoints points(const Raw& r) const {
        const __m128 A = lo(r.a), B = hi(r.a), C = lo(r.b);
        if (particles_) {
            // Record k is the 4 floats from 5k: x y z and a host word; transposed.
            const __m128 D = hi(r.b), E = lo(r.c);
            const __m128 r1 = shift(C, B, 1), r2 = shift(D, C, 2), r3 = shift(E, D, 3);
            const __m128 t0 = _mm_unpacklo_ps(A, r1), t1 = _mm_unpacklo_ps(r2, r3);
            const __m128 t2 = _mm_unpackhi_ps(A, r1), t3 = _mm_unpackhi_ps(r2, r3);
            return {{_mm_movelh_ps(t0, t1)}, {_mm_movehl_ps(t1, t0)}, {_mm_movelh_ps(t2, t3)}};
        }
        // x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3
        const __m128 xyzx = _mm_shuffle_ps(B, C, _MM_SHUFFLE(1, 0, 3, 2));  // x2 y2 z2 x3
        const __m128 yzyz = _mm_shuffle_ps(A, B, _MM_SHUFFLE(1, 0, 2, 1));  // y0 z0 y1 z1
        const __m128 yy = _mm_shuffle_ps(B, C, _MM_SHUFFLE(2, 2, 3, 3));    // y2 y2 y3 y3
        return {{_mm_shuffle_ps(A, xyzx, _MM_SHUFFLE(3, 0, 3, 0))}, {_mm_shuffle_ps(yzyz, yy, _MM_SHUFFLE(2, 0, 2, 0))},
                {_mm_shuffle_ps(yzyz, C, _MM_SHUFFLE(3, 0, 3, 1))}};
    }

    // The block `r` with its points replaced by `p`, written whole.
    void write(void* first, const Raw& r, const FloatPoints& p) const {
        float* f = static_cast<float*>(first);
        const __m128 x = p.x.v, y = p.y.v, z = p.z.v;
        const __m128 xy01 = _mm_unpacklo_ps(x, y), xy23 = _mm_unpackhi_ps(x, y);  // x0 y0 x1 y1, x2 y2 x3 y3
        if (particles_) {
            // x0 y0 z0 p0 | q0 x1 y1 z1 | p1 q1 x2 y2 | z2 p2 q2 x3 | y3 z3 p3 q3, p and q as read
            const __m128 A = lo(r.a), B = hi(r.a), C = lo(r.b), D = hi(r.b), E = lo(r.c);
            const __m128 zp = _mm_shuffle_ps(z, A, _MM_SHUFFLE(3, 3, 0, 0));        // z0 z0 p0 p0
            const __m128 qx = _mm_shuffle_ps(B, xy01, _MM_SHUFFLE(2, 2, 0, 0));     // q0 q0 x1 x1
            const __m128 xyz1 = _mm_shuffle_ps(xy01, z, _MM_SHUFFLE(1, 1, 3, 2));   // x1 y1 z1 z1
            const __m128 zx = _mm_shuffle_ps(z, x, _MM_SHUFFLE(3, 3, 2, 2));        // z2 z2 x3 x3
            const __m128 yz = _mm_unpackhi_ps(y, z);                                // y2 z2 y3 z3
            _mm256_storeu_ps(f, _mm256_set_m128(_mm_shuffle_ps(qx, xyz1, _MM_SHUFFLE(2, 1, 2, 0)),
                                                _mm_shuffle_ps(xy01, zp, _MM_SHUFFLE(2, 0, 1, 0))));
            _mm256_storeu_ps(f + 8, _mm256_set_m128(_mm_blend_ps(zx, D, 0b0110), _mm_movelh_ps(C, xy23)));
            _mm_storeu_ps(f + 16, _mm_movehl_ps(E, yz));
            return;
        }
        const __m128 zx = _mm_shuffle_ps(z, x, _MM_SHUFFLE(1, 1, 0, 0));    // z0 z0 x1 x1
        const __m128 yz = _mm_shuffle_ps(y, z, _MM_SHUFFLE(1, 1, 1, 1));    // y1 y1 z1 z1
        const __m128 zx3 = _mm_shuffle_ps(z, x, _MM_SHUFFLE(3, 3, 2, 2));   // z2 z2 x3 x3
        const __m128 yz3 = _mm_shuffle_ps(y, z, _MM_SHUFFLE(3, 3, 3, 3));   // y3 y3 z3 z3
        _mm256_storeu_ps(f, _mm256_set_m128(_mm_shuffle_ps(yz, xy23, _MM_SHUFFLE(1, 0, 2, 0)),
                                            _mm_shuffle_ps(xy01, zx, _MM_SHUFFLE(2, 0, 1, 0))));
        _mm_storeu_ps(f + 8, _mm_shuffle_ps(zx3, yz3, _MM_SHUFFLE(2, 0, 2, 0)));
    }

private:
    static __m128 lo(__m256 v) { return _mm256_castps256_ps128(v); }
    static __m128 hi(__m256 v) { return _mm256_extractf128_ps(v, 1); }
    // The 4 floats from float k of `low` on, `high` following it.
    static __m128 shift(__m128 high, __m128 low, int k) {
        const __m128i h = _mm_castps_si128(high), l = _mm_castps_si128(low);
        return _mm_castsi128_ps(k == 1 ? _mm_alignr_epi8(h, l, 4) : k == 2 ? _mm_alignr_epi8(h, l, 8)
                                                                           : _mm_alignr_epi8(h, l, 12));
    }

    // Vector v of the block with p's lanes where its points sit.
    __m256 placed(const FloatPoints& p, int v) const {
        const __m256 xy = _mm256_set_m128(p.y.v, p.x.v), z = _mm256_castps128_ps256(p.z.v);
        const __m256 both = _mm256_blendv_ps(_mm256_permutevar8x32_ps(xy, placeXY_[v]),
                                             _mm256_permutevar8x32_ps(z, placeZ_[v]), mask(isZ_[v]));
        return _mm256_and_ps(both, mask(isPos_[v]));
    }

    static __m256i load(const int32_t* p) { return _mm256_load_si256(reinterpret_cast<const __m256i*>(p)); }
    static __m256 mask(__m256i m) { return _mm256_castsi256_ps(m); }

    // A part of 4 floats is read and written as 4, so that no access
    // reaches into the next block, whose loads would wait for these stores.
    __m256 loadPart(const float* f, int v) const {
        if (part_[v] == 8) return _mm256_loadu_ps(f);
        if (part_[v] == 4) return _mm256_set_m128(_mm_setzero_ps(), _mm_loadu_ps(f));
        return _mm256_setzero_ps();
    }
    void storePart(float* f, int v, __m256 data) const {
        if (part_[v] == 8)
            _mm256_storeu_ps(f, data);
        else if (part_[v] == 4)
            _mm_storeu_ps(f, _mm256_castps256_ps128(data));
    }

    bool usable_, particles_;
    int part_[3];
    __m256i placeXY_[3], placeZ_[3], isZ_[3], isPos_[3];
};
#endif

#if defined(FX_LANES_BLOCKS)
// The blocks of the two strides the pass uses, a point (12 bytes) and a
// particle record (20), are laid out once.
inline Block blockFor(size_t stride) {
    if (stride == 12) {
        static const Block point(12);
        return point;
    }
    if (stride == 20) {
        static const Block particle(20);
        return particle;
    }
    return Block(stride);
}
#endif

// For n records of `stride` bytes, kWidth at a time: out's records become
// in's, their first three floats replaced by rule(points), taking and giving
// floats. `in` and `out` are the same records or do not overlap.
template <class Rule>
inline void eachFloatGroup(const void* in, void* out, size_t stride, size_t n, Rule rule) {
    const char* from = static_cast<const char*>(in);
    char* to = static_cast<char*>(out);
    size_t i = 0;
#if defined(FX_LANES_BLOCKS)
    const Block block = blockFor(stride);
    if (block.usable()) {
        if constexpr (kTakesPairs<Rule>)
            for (; i + 2 * kWidth <= n; i += 2 * kWidth) {
                const size_t next = (i + kWidth) * stride;
                const Block::Raw r0 = block.read(from + i * stride), r1 = block.read(from + next);
                const Groups<2> moved = rule(Groups<2>{{block.points(r0), block.points(r1)}});
                block.write(to + i * stride, r0, moved.p[0]);
                block.write(to + next, r1, moved.p[1]);
            }
        for (; i + kWidth <= n; i += kWidth) {
            const Block::Raw r = block.read(from + i * stride);
            block.write(to + i * stride, r, moveGroup(rule, block.points(r)));
        }
    }
#endif
    for (; i < n; i += kWidth) {
        const int count = n - i < size_t(kWidth) ? int(n - i) : kWidth;
        const FloatPoints moved = moveGroup(rule, loadFloats(from + i * stride, stride, count));
        if (from != to) std::memcpy(to + i * stride, from + i * stride, size_t(count) * stride);
        storeFloats(to + i * stride, stride, moved, count);
    }
}

// eachFloatGroup for a rule that moves each coordinate by a constant of its
// own, `op(coordinates, constants)` on float vectors, and keeps the point
// unless all three moved coordinates are finite: `rule` on lanes otherwise.
// AVX2 applies op to whole blocks in place, the positions only.
template <class Op, class Rule>
inline void eachFloatGroupAlike(const void* in, void* out, size_t stride, size_t n, const FloatPoints& constants,
                                Op op, Rule rule) {
#if defined(FX_LANES_BLOCKS) && !defined(__AVX512F__)
    const char* from = static_cast<const char*>(in);
    char* to = static_cast<char*>(out);
    size_t i = 0;
    const Block block = blockFor(stride);
    if (block.usable()) {
        const Block::Raw k = block.spread(constants);
        for (; i + kWidth <= n; i += kWidth) {
            const Block::Raw r = block.read(from + i * stride), p = block.positions(r);
            const Block::Raw moved{op(p.a, k.a), op(p.b, k.b), op(p.c, k.c)};
            if (Block::finite(moved))
                block.write(to + i * stride, r, moved);
            else
                block.write(to + i * stride, r, rule(block.points(r)));
        }
    }
    eachFloatGroup(from + i * stride, to + i * stride, stride, n - i, rule);
#else
    (void)constants;
    (void)op;
    eachFloatGroup(in, out, stride, n, rule);
#endif
}

// Copies n records from in to out, unless they are the same.
inline void copyRecords(const void* in, void* out, size_t stride, size_t n) {
    if (in != out) std::memcpy(out, in, n * stride);
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
