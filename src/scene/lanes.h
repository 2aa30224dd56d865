// Several numbers per instruction: the lane types with which the batch rules
// compute, `D` (doubles) and `F` (floats) with their masks, kWidth lanes
// each, for the instruction set this file is compiled for: AVX-512 F, DQ
// and VL (8 lanes), AVX2 with FMA (4) or SSE2 (2); or, where FX_LANES_ONE is
// defined, one plain double, the instance through which the scalar rules
// call the same math functions. Each set lives in its own inline namespace,
// so the copies compiled for different sets (one source file per set) never
// meet at link time.
//
// Every operation rounds as the scalar operation does: nothing fuses.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(FX_LANES_ONE)
#define FX_LANES_ISA one
#elif defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
#define FX_LANES_ISA avx512
#elif defined(__AVX2__) && defined(__FMA__)
#define FX_LANES_ISA avx2
#elif defined(__SSE2__)
#define FX_LANES_ISA sse2
#else
#error "the batch rules need SSE2"
#endif

// Inlined wherever called, whatever the inliner's estimate (a function's or
// a lambda's: `[&](...) FX_ALWAYS_INLINE {...}`): the rules keep their lanes
// in registers rather than passing them through memory.
#define FX_ALWAYS_INLINE __attribute__((always_inline))
// A rule whose whole loop, helpers and all, is compiled as one function.
#define FX_RULE __attribute__((flatten))
// The body that follows, for each i below K, unrolled: K chains worked in
// step, each operation on all K before the next.
#define FX_PACK_EACH _Pragma("GCC unroll 16") for (int i = 0; i < K; ++i)

namespace lanes {
inline namespace FX_LANES_ISA {

#if defined(FX_LANES_ONE)
constexpr int kWidth = 1;
struct D {
    double v;
};
struct Mask {
    bool m;
};
inline uint64_t bitsOf(D a) {
    uint64_t u;
    std::memcpy(&u, &a.v, sizeof u);
    return u;
}
inline D fromBits(uint64_t u) {
    D a;
    std::memcpy(&a.v, &u, sizeof u);
    return a;
}
inline D splat(double x) { return {x}; }
inline D operator+(D a, D b) { return {a.v + b.v}; }
inline D operator-(D a, D b) { return {a.v - b.v}; }
inline D operator*(D a, D b) { return {a.v * b.v}; }
inline D operator/(D a, D b) { return {a.v / b.v}; }
inline D sqrt(D a) { return {__builtin_sqrt(a.v)}; }
inline D bitAnd(D a, D b) { return fromBits(bitsOf(a) & bitsOf(b)); }
inline D bitOr(D a, D b) { return fromBits(bitsOf(a) | bitsOf(b)); }
inline D bitXor(D a, D b) { return fromBits(bitsOf(a) ^ bitsOf(b)); }
// ~a & b
inline D bitAndNot(D a, D b) { return fromBits(~bitsOf(a) & bitsOf(b)); }
inline Mask operator<(D a, D b) { return {a.v < b.v}; }
inline Mask operator<=(D a, D b) { return {a.v <= b.v}; }
inline Mask operator>(D a, D b) { return {a.v > b.v}; }
inline Mask operator==(D a, D b) { return {a.v == b.v}; }
inline Mask operator!=(D a, D b) { return {a.v != b.v}; }
inline Mask operator&(Mask a, Mask b) { return {a.m && b.m}; }
inline Mask operator|(Mask a, Mask b) { return {a.m || b.m}; }
inline Mask operator!(Mask a) { return {!a.m}; }
inline unsigned bits(Mask a) { return a.m ? 1u : 0u; }
inline D select(Mask m, D a, D b) { return m.m ? a : b; }
// As the SSE2 lanes round: adding and taking away 1.5 * 2^52 (|a| below 2^51).
inline D roundInt(D a) { return (a + splat(0x1.8p52)) - splat(0x1.8p52); }
inline D pow2(D n) { return fromBits((bitsOf(n + splat(0x1.8p52)) + (1023 - 0x4338000000000000LL)) << 52); }
inline D exponentOf(D x) { return fromBits(bitsOf(x) >> 52 | 0x4330000000000000LL) - splat(0x1p52 + 1023.0); }
inline D mantissaOf(D x) { return fromBits((bitsOf(x) & 0x000FFFFFFFFFFFFFLL) | 0x3FF0000000000000LL); }
// Each lane's 64 bits moved up by k (0 < k < 64), zeros shifted in.
inline D shiftLeft(D a, int k) { return fromBits(bitsOf(a) << k); }
inline D load(const double* p) { return {*p}; }
inline void store(double* p, D a) { *p = a.v; }
struct F {
    float v;
};
inline D widen(F a) { return {double(a.v)}; }
inline F narrow(D a) { return {float(a.v)}; }

#elif defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
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
inline D shiftLeft(D a, int k) {
    return {_mm512_castsi512_pd(_mm512_slli_epi64(_mm512_castpd_si512(a.v), unsigned(k)))};
}
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
inline FMask operator|(FMask a, FMask b) { return {__mmask8(a.m | b.m)}; }
inline FMask isFinite(F a) {
    return {_mm256_cmp_ps_mask(_mm256_andnot_ps(_mm256_set1_ps(-0.0f), a.v), _mm256_set1_ps(3.4028235e38f),
                               _CMP_LE_OQ)};
}
inline F select(FMask m, F a, F b) { return {_mm256_mask_blend_ps(m.m, b.v, a.v)}; }
inline FMask operator==(F a, F b) { return {_mm256_cmp_ps_mask(a.v, b.v, _CMP_EQ_OQ)}; }
inline FMask operator<(F a, F b) { return {_mm256_cmp_ps_mask(a.v, b.v, _CMP_LT_OQ)}; }
inline bool any(FMask m) { return m.m != 0; }
inline bool all(FMask m) { return m.m == 0xFF; }
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
inline D shiftLeft(D a, int k) { return {_mm256_castsi256_pd(_mm256_slli_epi64(_mm256_castpd_si256(a.v), k))}; }
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
inline FMask operator|(FMask a, FMask b) { return {_mm_or_ps(a.m, b.m)}; }
inline FMask isFinite(F a) {
    return {_mm_cmp_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), a.v), _mm_set1_ps(3.4028235e38f), _CMP_LE_OQ)};
}
inline F select(FMask m, F a, F b) { return {_mm_blendv_ps(b.v, a.v, m.m)}; }
inline FMask operator==(F a, F b) { return {_mm_cmpeq_ps(a.v, b.v)}; }
inline FMask operator<(F a, F b) { return {_mm_cmplt_ps(a.v, b.v)}; }
inline bool any(FMask m) { return _mm_movemask_ps(m.m) != 0; }
inline bool all(FMask m) { return _mm_movemask_ps(m.m) == 0xF; }
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
inline D shiftLeft(D a, int k) { return {_mm_castsi128_pd(_mm_slli_epi64(_mm_castpd_si128(a.v), k))}; }
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
inline FMask operator|(FMask a, FMask b) { return {_mm_or_ps(a.m, b.m)}; }
inline FMask isFinite(F a) {
    return {_mm_cmple_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), a.v), _mm_set1_ps(3.4028235e38f))};
}
inline F select(FMask m, F a, F b) { return {_mm_or_ps(_mm_and_ps(m.m, a.v), _mm_andnot_ps(m.m, b.v))}; }
inline FMask operator==(F a, F b) { return {_mm_cmpeq_ps(a.v, b.v)}; }
inline FMask operator<(F a, F b) { return {_mm_cmplt_ps(a.v, b.v)}; }
inline bool any(FMask m) { return (_mm_movemask_ps(m.m) & 3) != 0; }
inline bool all(FMask m) { return (_mm_movemask_ps(m.m) & 3) == 3; }
inline F sqrt(F a) { return {_mm_sqrt_ps(a.v)}; }
#endif

// ------------------------------------------------------------ on top of them

// F holds kWidth floats, D kWidth doubles: float arithmetic is exact where
// the scalar rule rounds a single double operation of floats to float.

// The float the scalar rule stores, kept in double.
inline D toFloat(D a) { return widen(narrow(a)); }

inline bool any(Mask m) { return bits(m) != 0; }
inline bool all(Mask m) { return bits(m) == (1u << kWidth) - 1; }
inline Mask operator^(Mask a, Mask b) { return (a | b) & !(a & b); }
inline D operator-(D a) { return bitXor(a, splat(-0.0)); }
inline D abs(D a) { return bitAndNot(splat(-0.0), a); }
// The sign bit of `sign` on the magnitude of `a`.
inline D copySign(D a, D sign) { return bitOr(abs(a), bitAnd(sign, splat(-0.0))); }

}  // namespace FX_LANES_ISA
}  // namespace lanes
