// Point records read into lanes and written back, kWidth at a time: a
// record is `stride` bytes whose first three floats are a point (a particle
// record, a spline point, a vertex).
#pragma once

#include <cstring>

#include "scene/lanes.h"

// The AVX-512 lanes read and write whole blocks of records; the AVX2 lanes
// do for the rules that move each coordinate by a constant.
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
// Four whole records at once: the block of 4 records `stride` bytes apart
// (12 to 24 floats) read as up to three vectors of 8 floats (the last may be
// 4), its positions picked out by permutes and blends, put back the same
// way, and the whole block written. The records' other words go back as read.
// For the rules with more math the permutes cost more than the gathers
// they would replace (Twist 10 % slower), so only eachFloatGroupAlike uses it.
class Block {
public:
    explicit Block(size_t stride) {
        const int w = int(stride / 4), floats = 4 * w;
        usable_ = stride % 4 == 0 && w >= 3 && w <= 6;
        if (!usable_) return;
        alignas(32) int32_t pick[8], fromB[8], fromC[8], placeXY[8], placeZ[8], isZ[8], isPos[8];
        for (int c = 0; c < 3; ++c) {
            for (int r = 0; r < 8; ++r) {
                const int g = (r & 3) * w + c;  // lanes 4..7 repeat 0..3 and go unused
                pick[r] = g % 8;
                fromB[r] = g / 8 == 1 ? -1 : 0;
                fromC[r] = g / 8 == 2 ? -1 : 0;
            }
            pick_[c] = load(pick);
            fromB_[c] = load(fromB);
            fromC_[c] = load(fromC);
        }
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

    FloatPoints points(const Raw& r) const { return {component(r, 0), component(r, 1), component(r, 2)}; }

    // The block `r` with its points replaced by `p`, written whole.
    void write(void* first, const Raw& r, const FloatPoints& p) const {
        float* f = static_cast<float*>(first);
        const __m256 raw[3] = {r.a, r.b, r.c};
        for (int v = 0; v < 3; ++v) storePart(f + 8 * v, v, _mm256_blendv_ps(raw[v], placed(p, v), mask(isPos_[v])));
    }

private:
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

    F component(const Raw& r, int k) const {
        const __m256 fromA = _mm256_permutevar8x32_ps(r.a, pick_[k]);
        const __m256 withB = _mm256_blendv_ps(fromA, _mm256_permutevar8x32_ps(r.b, pick_[k]), mask(fromB_[k]));
        const __m256 all = _mm256_blendv_ps(withB, _mm256_permutevar8x32_ps(r.c, pick_[k]), mask(fromC_[k]));
        return {_mm256_castps256_ps128(all)};
    }

    bool usable_;
    int part_[3];
    __m256i pick_[3], fromB_[3], fromC_[3], placeXY_[3], placeZ_[3], isZ_[3], isPos_[3];
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
#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
    const Block block = blockFor(stride);
    if (block.usable())
        for (; i + kWidth <= n; i += kWidth) {
            const Block::Raw r = block.read(from + i * stride);
            block.write(to + i * stride, r, rule(block.points(r)));
        }
#endif
    for (; i < n; i += kWidth) {
        const int count = n - i < size_t(kWidth) ? int(n - i) : kWidth;
        const FloatPoints moved = rule(loadFloats(from + i * stride, stride, count));
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
