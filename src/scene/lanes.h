// Several doubles per instruction: the lane type `D` and its mask `Mask`
// with which the batch rules compute, for the instruction set this file is
// compiled for: AVX-512 F, DQ and VL (8 lanes), AVX2 with FMA (4) or SSE2 (2). Each set
// lives in its own inline namespace, so the copies compiled for different
// sets (one source file per set) never meet at link time.
//
// Arithmetic rounds as the scalar operations do; only `fmadd`, which the
// math functions use inside their polynomials, may fuse.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
#define FX_LANES_ISA avx512
#elif defined(__AVX2__) && defined(__FMA__)
#define FX_LANES_ISA avx2
#elif defined(__SSE2__)
#define FX_LANES_ISA sse2
#else
#error "the batch rules need SSE2"
#endif

namespace lanes {
inline namespace FX_LANES_ISA {

#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
constexpr int kWidth = 8;
struct D {
    __m512d v;
};
struct Mask {
    __mmask8 m;
};
inline D splat(double x) { return {_mm512_set1_pd(x)}; }
inline D operator+(D a, D b) { return {_mm512_add_pd(a.v, b.v)}; }
inline D operator-(D a, D b) { return {_mm512_sub_pd(a.v, b.v)}; }
inline D operator*(D a, D b) { return {_mm512_mul_pd(a.v, b.v)}; }
inline D operator/(D a, D b) { return {_mm512_div_pd(a.v, b.v)}; }
inline D sqrt(D a) { return {_mm512_sqrt_pd(a.v)}; }
inline D fmadd(D a, D b, D c) { return {_mm512_fmadd_pd(a.v, b.v, c.v)}; }
inline D bitAnd(D a, D b) { return {_mm512_and_pd(a.v, b.v)}; }
inline D bitOr(D a, D b) { return {_mm512_or_pd(a.v, b.v)}; }
inline D bitXor(D a, D b) { return {_mm512_xor_pd(a.v, b.v)}; }
// ~a & b
inline D bitAndNot(D a, D b) { return {_mm512_andnot_pd(a.v, b.v)}; }
inline Mask operator<(D a, D b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LT_OQ)}; }
inline Mask operator<=(D a, D b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LE_OQ)}; }
inline Mask operator>(D a, D b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_GT_OQ)}; }
inline Mask operator==(D a, D b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_EQ_OQ)}; }
inline Mask operator!=(D a, D b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_NEQ_UQ)}; }
inline Mask operator&(Mask a, Mask b) { return {__mmask8(a.m & b.m)}; }
inline Mask operator|(Mask a, Mask b) { return {__mmask8(a.m | b.m)}; }
inline Mask operator!(Mask a) { return {__mmask8(~a.m)}; }
inline unsigned bits(Mask a) { return a.m; }
inline D select(Mask m, D a, D b) { return {_mm512_mask_blend_pd(m.m, b.v, a.v)}; }
inline D roundInt(D a) { return {_mm512_roundscale_pd(a.v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC)}; }
// 2^n for integral n in -1022..1023.
inline D pow2(D n) {
    const __m512i e = _mm512_cvtpd_epi64(n.v);
    return {_mm512_castsi512_pd(_mm512_slli_epi64(_mm512_add_epi64(e, _mm512_set1_epi64(1023)), 52))};
}
// For positive normal x: x = 2^k m with m in [1, 2).
inline D exponentOf(D x) { return {_mm512_getexp_pd(x.v)}; }
inline D mantissaOf(D x) { return {_mm512_getmant_pd(x.v, _MM_MANT_NORM_1_2, _MM_MANT_SIGN_zero)}; }
inline D load(const double* p) { return {_mm512_loadu_pd(p)}; }
inline void store(double* p, D a) { _mm512_storeu_pd(p, a.v); }
struct F {
    __m256 v;
};
inline F splatF(float x) { return {_mm256_set1_ps(x)}; }
inline F operator+(F a, F b) { return {_mm256_add_ps(a.v, b.v)}; }
inline F operator-(F a, F b) { return {_mm256_sub_ps(a.v, b.v)}; }
inline F operator*(F a, F b) { return {_mm256_mul_ps(a.v, b.v)}; }
inline F operator/(F a, F b) { return {_mm256_div_ps(a.v, b.v)}; }
inline D widen(F a) { return {_mm512_cvtps_pd(a.v)}; }
inline F narrow(D a) { return {_mm512_cvtpd_ps(a.v)}; }
inline F loadF(const float* p) { return {_mm256_loadu_ps(p)}; }
inline void storeF(float* p, F a) { _mm256_storeu_ps(p, a.v); }
struct FMask {
    __mmask8 m;
};
inline FMask operator&(FMask a, FMask b) { return {__mmask8(a.m & b.m)}; }
inline FMask isFinite(F a) {
    return {_mm256_cmp_ps_mask(_mm256_andnot_ps(_mm256_set1_ps(-0.0f), a.v), _mm256_set1_ps(3.4028235e38f),
                               _CMP_LE_OQ)};
}
inline F select(FMask m, F a, F b) { return {_mm256_mask_blend_ps(m.m, b.v, a.v)}; }
inline FMask operator==(F a, F b) { return {_mm256_cmp_ps_mask(a.v, b.v, _CMP_EQ_OQ)}; }
inline FMask operator<(F a, F b) { return {_mm256_cmp_ps_mask(a.v, b.v, _CMP_LT_OQ)}; }
inline bool any(FMask m) { return m.m != 0; }
inline F sqrt(F a) { return {_mm256_sqrt_ps(a.v)}; }

#elif defined(__AVX2__) && defined(__FMA__)
constexpr int kWidth = 4;
struct D {
    __m256d v;
};
struct Mask {
    __m256d m;
};
inline D splat(double x) { return {_mm256_set1_pd(x)}; }
inline D operator+(D a, D b) { return {_mm256_add_pd(a.v, b.v)}; }
inline D operator-(D a, D b) { return {_mm256_sub_pd(a.v, b.v)}; }
inline D operator*(D a, D b) { return {_mm256_mul_pd(a.v, b.v)}; }
inline D operator/(D a, D b) { return {_mm256_div_pd(a.v, b.v)}; }
inline D sqrt(D a) { return {_mm256_sqrt_pd(a.v)}; }
inline D fmadd(D a, D b, D c) { return {_mm256_fmadd_pd(a.v, b.v, c.v)}; }
inline D bitAnd(D a, D b) { return {_mm256_and_pd(a.v, b.v)}; }
inline D bitOr(D a, D b) { return {_mm256_or_pd(a.v, b.v)}; }
inline D bitXor(D a, D b) { return {_mm256_xor_pd(a.v, b.v)}; }
// ~a & b
inline D bitAndNot(D a, D b) { return {_mm256_andnot_pd(a.v, b.v)}; }
inline Mask operator<(D a, D b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
inline Mask operator<=(D a, D b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LE_OQ)}; }
inline Mask operator>(D a, D b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)}; }
inline Mask operator==(D a, D b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_EQ_OQ)}; }
inline Mask operator!=(D a, D b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_NEQ_UQ)}; }
inline Mask operator&(Mask a, Mask b) { return {_mm256_and_pd(a.m, b.m)}; }
inline Mask operator|(Mask a, Mask b) { return {_mm256_or_pd(a.m, b.m)}; }
inline Mask operator!(Mask a) { return {_mm256_xor_pd(a.m, _mm256_castsi256_pd(_mm256_set1_epi64x(-1)))}; }
inline unsigned bits(Mask a) { return unsigned(_mm256_movemask_pd(a.m)); }
inline D select(Mask m, D a, D b) { return {_mm256_blendv_pd(b.v, a.v, m.m)}; }
inline D roundInt(D a) { return {_mm256_round_pd(a.v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC)}; }
inline D pow2(D n) {
    // n + 1.5 * 2^52 holds n in its low bits; moving n + 1023 up to the exponent gives 2^n.
    const __m256i shifted = _mm256_castpd_si256(_mm256_add_pd(n.v, _mm256_set1_pd(0x1.8p52)));
    const __m256i biased = _mm256_add_epi64(shifted, _mm256_set1_epi64x(1023 - 0x4338000000000000LL));
    return {_mm256_castsi256_pd(_mm256_slli_epi64(biased, 52))};
}
inline D exponentOf(D x) {
    const __m256i e = _mm256_srli_epi64(_mm256_castpd_si256(x.v), 52);
    const __m256d big = _mm256_castsi256_pd(_mm256_or_si256(e, _mm256_set1_epi64x(0x4330000000000000LL)));
    return {_mm256_sub_pd(big, _mm256_set1_pd(0x1p52 + 1023.0))};
}
inline D mantissaOf(D x) {
    const __m256i m = _mm256_and_si256(_mm256_castpd_si256(x.v), _mm256_set1_epi64x(0x000FFFFFFFFFFFFFLL));
    return {_mm256_castsi256_pd(_mm256_or_si256(m, _mm256_set1_epi64x(0x3FF0000000000000LL)))};
}
inline D load(const double* p) { return {_mm256_loadu_pd(p)}; }
inline void store(double* p, D a) { _mm256_storeu_pd(p, a.v); }
struct F {
    __m128 v;
};
inline F splatF(float x) { return {_mm_set1_ps(x)}; }
inline F operator+(F a, F b) { return {_mm_add_ps(a.v, b.v)}; }
inline F operator-(F a, F b) { return {_mm_sub_ps(a.v, b.v)}; }
inline F operator*(F a, F b) { return {_mm_mul_ps(a.v, b.v)}; }
inline F operator/(F a, F b) { return {_mm_div_ps(a.v, b.v)}; }
inline D widen(F a) { return {_mm256_cvtps_pd(a.v)}; }
inline F narrow(D a) { return {_mm256_cvtpd_ps(a.v)}; }
inline F loadF(const float* p) { return {_mm_loadu_ps(p)}; }
inline void storeF(float* p, F a) { _mm_storeu_ps(p, a.v); }
struct FMask {
    __m128 m;
};
inline FMask operator&(FMask a, FMask b) { return {_mm_and_ps(a.m, b.m)}; }
inline FMask isFinite(F a) {
    return {_mm_cmp_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), a.v), _mm_set1_ps(3.4028235e38f), _CMP_LE_OQ)};
}
inline F select(FMask m, F a, F b) { return {_mm_blendv_ps(b.v, a.v, m.m)}; }
inline FMask operator==(F a, F b) { return {_mm_cmpeq_ps(a.v, b.v)}; }
inline FMask operator<(F a, F b) { return {_mm_cmplt_ps(a.v, b.v)}; }
inline bool any(FMask m) { return _mm_movemask_ps(m.m) != 0; }
inline F sqrt(F a) { return {_mm_sqrt_ps(a.v)}; }

#else
constexpr int kWidth = 2;
struct D {
    __m128d v;
};
struct Mask {
    __m128d m;
};
inline D splat(double x) { return {_mm_set1_pd(x)}; }
inline D operator+(D a, D b) { return {_mm_add_pd(a.v, b.v)}; }
inline D operator-(D a, D b) { return {_mm_sub_pd(a.v, b.v)}; }
inline D operator*(D a, D b) { return {_mm_mul_pd(a.v, b.v)}; }
inline D operator/(D a, D b) { return {_mm_div_pd(a.v, b.v)}; }
inline D sqrt(D a) { return {_mm_sqrt_pd(a.v)}; }
inline D fmadd(D a, D b, D c) { return {_mm_add_pd(_mm_mul_pd(a.v, b.v), c.v)}; }
inline D bitAnd(D a, D b) { return {_mm_and_pd(a.v, b.v)}; }
inline D bitOr(D a, D b) { return {_mm_or_pd(a.v, b.v)}; }
inline D bitXor(D a, D b) { return {_mm_xor_pd(a.v, b.v)}; }
// ~a & b
inline D bitAndNot(D a, D b) { return {_mm_andnot_pd(a.v, b.v)}; }
inline Mask operator<(D a, D b) { return {_mm_cmplt_pd(a.v, b.v)}; }
inline Mask operator<=(D a, D b) { return {_mm_cmple_pd(a.v, b.v)}; }
inline Mask operator>(D a, D b) { return {_mm_cmpgt_pd(a.v, b.v)}; }
inline Mask operator==(D a, D b) { return {_mm_cmpeq_pd(a.v, b.v)}; }
inline Mask operator!=(D a, D b) { return {_mm_cmpneq_pd(a.v, b.v)}; }
inline Mask operator&(Mask a, Mask b) { return {_mm_and_pd(a.m, b.m)}; }
inline Mask operator|(Mask a, Mask b) { return {_mm_or_pd(a.m, b.m)}; }
inline Mask operator!(Mask a) { return {_mm_xor_pd(a.m, _mm_castsi128_pd(_mm_set1_epi32(-1)))}; }
inline unsigned bits(Mask a) { return unsigned(_mm_movemask_pd(a.m)); }
inline D select(Mask m, D a, D b) { return {_mm_or_pd(_mm_and_pd(m.m, a.v), _mm_andnot_pd(m.m, b.v))}; }
// Adding and taking away 1.5 * 2^52 rounds to an integer (|a| below 2^51).
inline D roundInt(D a) {
    const __m128d magic = _mm_set1_pd(0x1.8p52);
    return {_mm_sub_pd(_mm_add_pd(a.v, magic), magic)};
}
inline D pow2(D n) {
    const __m128i shifted = _mm_castpd_si128(_mm_add_pd(n.v, _mm_set1_pd(0x1.8p52)));
    const __m128i biased = _mm_add_epi64(shifted, _mm_set1_epi64x(1023 - 0x4338000000000000LL));
    return {_mm_castsi128_pd(_mm_slli_epi64(biased, 52))};
}
inline D exponentOf(D x) {
    const __m128i e = _mm_srli_epi64(_mm_castpd_si128(x.v), 52);
    const __m128d big = _mm_castsi128_pd(_mm_or_si128(e, _mm_set1_epi64x(0x4330000000000000LL)));
    return {_mm_sub_pd(big, _mm_set1_pd(0x1p52 + 1023.0))};
}
inline D mantissaOf(D x) {
    const __m128i m = _mm_and_si128(_mm_castpd_si128(x.v), _mm_set1_epi64x(0x000FFFFFFFFFFFFFLL));
    return {_mm_castsi128_pd(_mm_or_si128(m, _mm_set1_epi64x(0x3FF0000000000000LL)))};
}
inline D load(const double* p) { return {_mm_loadu_pd(p)}; }
inline void store(double* p, D a) { _mm_storeu_pd(p, a.v); }
// Two floats in the low half; the upper two lanes are zeros.
struct F {
    __m128 v;
};
inline F splatF(float x) { return {_mm_set1_ps(x)}; }
inline F operator+(F a, F b) { return {_mm_add_ps(a.v, b.v)}; }
inline F operator-(F a, F b) { return {_mm_sub_ps(a.v, b.v)}; }
inline F operator*(F a, F b) { return {_mm_mul_ps(a.v, b.v)}; }
inline F operator/(F a, F b) { return {_mm_div_ps(a.v, b.v)}; }
inline D widen(F a) { return {_mm_cvtps_pd(a.v)}; }
inline F narrow(D a) { return {_mm_cvtpd_ps(a.v)}; }
inline F loadF(const float* p) { return {_mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(p)))}; }
inline void storeF(float* p, F a) { _mm_store_sd(reinterpret_cast<double*>(p), _mm_castps_pd(a.v)); }
struct FMask {
    __m128 m;
};
inline FMask operator&(FMask a, FMask b) { return {_mm_and_ps(a.m, b.m)}; }
inline FMask isFinite(F a) { return {_mm_cmple_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), a.v), _mm_set1_ps(3.4028235e38f))}; }
inline F select(FMask m, F a, F b) { return {_mm_or_ps(_mm_and_ps(m.m, a.v), _mm_andnot_ps(m.m, b.v))}; }
inline FMask operator==(F a, F b) { return {_mm_cmpeq_ps(a.v, b.v)}; }
inline FMask operator<(F a, F b) { return {_mm_cmplt_ps(a.v, b.v)}; }
inline bool any(FMask m) { return (_mm_movemask_ps(m.m) & 3) != 0; }
inline F sqrt(F a) { return {_mm_sqrt_ps(a.v)}; }
#endif

// ------------------------------------------------------------ on top of them

// F holds kWidth floats, D kWidth doubles: float arithmetic is exact where
// the scalar rule rounds a single double operation of floats to float.
inline D fromFloats(const float* p) { return widen(loadF(p)); }
inline void toFloats(float* p, D a) { storeF(p, narrow(a)); }
// The float the scalar rule stores, kept in double.
inline D toFloat(D a) { return widen(narrow(a)); }

inline bool any(Mask m) { return bits(m) != 0; }
inline Mask operator^(Mask a, Mask b) { return (a | b) & !(a & b); }
inline D operator-(D a) { return bitXor(a, splat(-0.0)); }
inline D abs(D a) { return bitAndNot(splat(-0.0), a); }
// The sign bit of `sign` on the magnitude of `a`.
inline D copySign(D a, D sign) { return bitOr(abs(a), bitAnd(sign, splat(-0.0))); }
inline Mask isNan(D a) { return a != a; }
// Finite and not NaN.
inline Mask isFinite(D a) { return abs(a) <= splat(1.7976931348623157e308); }

// The three floats at the start of each of kWidth records `stride` bytes apart.
struct Points {
    D x, y, z;
};

// The points at at(0) .. at(kWidth - 1), record by record, as floats.
struct FloatPoints {
    F x, y, z;
};

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

inline Points widen(const FloatPoints& f) { return {widen(f.x), widen(f.y), widen(f.z)}; }
inline FloatPoints narrow(const Points& p) { return {narrow(p.x), narrow(p.y), narrow(p.z)}; }

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
        const __m512 t = _mm512_mask_permutexvar_ps(_mm512_permutex2var_ps(a, pick_[k], b), fromThird_[k], pickThird_[k], c);
        return {_mm512_castps512_ps256(t)};
    }

    bool usable_;
    int part_[3];
    __m512i pick_[3], pickThird_[3], place_[3];
    __mmask16 fromThird_[3], positions_[3];
};

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

// The same with a rule on doubles, whose results are stored rounded to float.
template <class Rule>
inline void eachGroup(const void* in, void* out, size_t stride, size_t n, Rule rule) {
    eachFloatGroup(in, out, stride, n, [&](const FloatPoints& p) { return narrow(rule(widen(p))); });
}

// Copies n records from in to out, unless they are the same.
inline void copyRecords(const void* in, void* out, size_t stride, size_t n) {
    if (in != out) std::memcpy(out, in, n * stride);
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
