// The library's own sin, cos, tan, atan2, exp, log and pow, written once on
// lanes: the batch rules run them on each instruction set's lanes and the
// scalar rules on the one-lane instance (scene/scalar_math.h), so both
// compute the very same doubles. No operation fuses, no lane is handed to
// the C library: special values and huge arguments are handled here too.
//
// Accuracy, against correctly rounded results (tests/lane_math_test.cpp):
//   sin, cos     within 1 ulp for every finite argument (measured over 4e7
//                arguments: before the final rounding the error reaches 0.95
//                ulp below 1e4 and 1.2 ulps towards 1e5, some 4 % of results
//                not the correctly rounded double; the reduction beyond 1e5
//                is exact, see scene/angle_reduction.h)
//   tan          within 2 ulps
//   atan2        within 1 ulp (results below 2^-1022 may lose more)
//   exp          within 1 ulp
//   log          within 1 ulp
//   pow          within 1 + 2 |y ln x| ulps: e^(y ln x) in double carries the
//                error of y ln x (measured: up to 98 ulps for Elipsoid's
//                powers of |sin| and |cos| of float angles with exponents
//                0.1..8, up to 453 for Magnet's t in 1e-9..1 with powers
//                0.01..25; a float's ulp is 2^29 of them); odd and integral
//                exponents are told apart below 2^51
// The kernels are fdlibm's (Sun's reductions and minimax polynomials), with
// Taylor's series for e^r.
#pragma once

#include "scene/angle_reduction.h"
#include "scene/lanes.h"

// The functions the rules call inside their loops go inline, so that their
// lanes stay in registers. Their only address arithmetic indexes a Pack's own
// vectors by a loop over its fixed size; checking it for overflow (in the
// sanitized builds) would keep every Pack in memory, a frame of a hundred
// kilobytes that the sanitizer poisons on every call.
#define FX_MATH_INLINE FX_ALWAYS_INLINE __attribute__((no_sanitize("pointer-overflow"))) inline

namespace lanes {
inline namespace FX_LANES_ISA {

// K lane vectors worked in step: each operation is applied to all K before
// the next, so that K independent chains interleave; per lane the same
// operations, so the same doubles, as on one D.
template <int K>
struct Pack {
    D v[K];
};
template <int K>
struct PackMask {
    Mask m[K];
};

#define FX_PACK_BINARY(op, Result, Out)                                                   \
    template <int K>                                                                      \
    FX_MATH_INLINE Result<K> operator op(Pack<K> a, Pack<K> b) {                          \
        Result<K> r;                                                                      \
        FX_PACK_EACH r.Out[i] = a.v[i] op b.v[i];                                         \
        return r;                                                                         \
    }                                                                                     \
    template <int K>                                                                      \
    FX_MATH_INLINE Result<K> operator op(Pack<K> a, D b) {                                \
        Result<K> r;                                                                      \
        FX_PACK_EACH r.Out[i] = a.v[i] op b;                                              \
        return r;                                                                         \
    }                                                                                     \
    template <int K>                                                                      \
    FX_MATH_INLINE Result<K> operator op(D a, Pack<K> b) {                                \
        Result<K> r;                                                                      \
        FX_PACK_EACH r.Out[i] = a op b.v[i];                                              \
        return r;                                                                         \
    }
FX_PACK_BINARY(+, Pack, v)
FX_PACK_BINARY(-, Pack, v)
FX_PACK_BINARY(*, Pack, v)
FX_PACK_BINARY(/, Pack, v)
FX_PACK_BINARY(>, PackMask, m)
FX_PACK_BINARY(<=, PackMask, m)
FX_PACK_BINARY(<, PackMask, m)
FX_PACK_BINARY(!=, PackMask, m)
#undef FX_PACK_BINARY
#define FX_PACK_UNARY(f)                             \
    template <int K>                                 \
    FX_MATH_INLINE Pack<K> f(Pack<K> a) {            \
        Pack<K> r;                                   \
        FX_PACK_EACH r.v[i] = f(a.v[i]);             \
        return r;                                    \
    }
FX_PACK_UNARY(operator-)
FX_PACK_UNARY(roundInt)
FX_PACK_UNARY(pow2)
FX_PACK_UNARY(exponentOf)
FX_PACK_UNARY(mantissaOf)
FX_PACK_UNARY(abs)
#undef FX_PACK_UNARY
template <int K>
FX_MATH_INLINE Pack<K> shiftLeft(Pack<K> a, int k) {
    Pack<K> r;
    FX_PACK_EACH r.v[i] = shiftLeft(a.v[i], k);
    return r;
}
template <int K>
FX_MATH_INLINE Pack<K> bitAnd(Pack<K> a, D b) {
    Pack<K> r;
    FX_PACK_EACH r.v[i] = bitAnd(a.v[i], b);
    return r;
}
template <int K>
FX_MATH_INLINE Pack<K> bitXor(Pack<K> a, Pack<K> b) {
    Pack<K> r;
    FX_PACK_EACH r.v[i] = bitXor(a.v[i], b.v[i]);
    return r;
}
// Lane vector i of a pack, or the one vector every lane shares.
template <int K>
FX_MATH_INLINE D part(const Pack<K>& a, int i) {
    return a.v[i];
}
FX_MATH_INLINE D part(D a, int) { return a; }
template <int K, class A, class B>
FX_MATH_INLINE Pack<K> select(PackMask<K> m, A a, B b) {
    Pack<K> r;
    FX_PACK_EACH r.v[i] = select(m.m[i], part(a, i), part(b, i));
    return r;
}

namespace detail {
// c0 + x (c1 + x (c2 + ...)), every product and sum rounded on its own.
template <class V>
FX_MATH_INLINE V poly(V x, double c0, double c1) {
    return x * splat(c1) + splat(c0);
}
template <class V, class... C>
FX_MATH_INLINE V poly(V x, double c0, double c1, C... rest) {
    return x * poly(x, c1, rest...) + splat(c0);
}

// Odd integral n: n / 2 is not an integer.
// V is D or a Pack of them.
template <class V>
FX_MATH_INLINE auto isOdd(V n) {
    const V h = n * splat(0.5);
    return h != roundInt(h);
}

inline Mask signBit(D x) { return copySign(splat(1.0), x) < splat(0.0); }
inline D infinity() { return splat(__builtin_inf()); }

// The lanes at or beyond 1e5 (finite) reduced exactly, lane by lane: in
// `large`'s bits, out of line, as the rules rarely meet such angles.
[[gnu::noinline, gnu::cold]] inline void reduceLargeLanes(D x, unsigned large, D& hi, D& lo, D& n) {
    alignas(64) double a[kWidth], h[kWidth], l[kWidth], k[kWidth];
    store(a, x);
    store(h, hi);
    store(l, lo);
    store(k, n);
    for (int i = 0; i < kWidth; ++i)
        if (large >> i & 1u) {
            const ReducedAngle z = reduceLarge(a[i]);
            h[i] = z.hi;
            l[i] = z.lo;
            k[i] = z.quadrant;
        }
    hi = load(h);
    lo = load(l);
    n = load(k);
}

// x = n pi/2 + (r + tail) taken again exactly where |x| is 1e5 or more.
FX_MATH_INLINE void reduceLargeIfAny(D x, D& r, D& tail, D& n) {
    const Mask large = (splat(1e5) <= abs(x)) & (abs(x) <= splat(1.7976931348623157e308));
    if (const unsigned m = bits(large)) detail::reduceLargeLanes(x, m, r, tail, n);
}
template <int K>
FX_MATH_INLINE void reduceLargeIfAny(const Pack<K>& x, Pack<K>& r, Pack<K>& tail, Pack<K>& n) {
    FX_PACK_EACH reduceLargeIfAny(x.v[i], r.v[i], tail.v[i], n.v[i]);
}

// x = n pi/2 + (hi + lo), |hi + lo| <= pi/4.
template <class V>
struct Quadrant {
    V hi, lo, n;
};

// Below 1e5, pi/2 in pieces of 33, 33 and 53 bits, the first two exact in
// their products with n (|n| < 2^17); above, lane by lane, the exact reduction.
// V is D or a Pack of them.
template <class V>
FX_MATH_INLINE Quadrant<V> reduce(V x) {
    const V n = roundInt(x * splat(6.36619772367581382433e-01));
    const V r = x - n * splat(1.57079632673412561417e+00);
    const V w = -(n * splat(6.07710050630396597660e-11));
    const V t = r + w;
    const V back = t - r;
    const V e = ((r - (t - back)) + (w - back)) - n * splat(2.02226624879595063154e-21);
    const V hi = t + e;
    Quadrant<V> q{hi, (t - hi) + e, n};
    reduceLargeIfAny(x, q.hi, q.lo, q.n);
    return q;
}

template <class V>
FX_MATH_INLINE V kernelSin(V x, V y) {
    const V z = x * x, v = z * x;
    const V r = poly(z, 8.33333333332248946124e-03, -1.98412698298579493134e-04, 2.75573137070700676789e-06,
                     -2.50507602534068634195e-08, 1.58969099521155010221e-10);
    return x - ((z * (splat(0.5) * y - v * r) - y) - v * splat(-1.66666666666666324348e-01));
}

template <class V>
FX_MATH_INLINE V kernelCos(V x, V y) {
    const V z = x * x;
    const V r = z * poly(z, 4.16666666666666019037e-02, -1.38888888888741095749e-03, 2.48015872894767294178e-05,
                         -2.75573143513906633035e-07, 2.08757232129817482790e-09, -1.13596475577881948265e-11);
    const V hz = splat(0.5) * z, w = splat(1.0) - hz;
    return w + (((splat(1.0) - w) - hz) + (z * r - x * y));
}

// sin, cos and tan of a tiny x are x, 1 and x.
template <class V>
FX_MATH_INLINE auto tiny(V x) {
    return abs(x) < splat(0x1p-27);
}
}  // namespace detail

namespace detail {

// Infinite and NaN arguments give NaN. Below 1e5, x = n pi/2 + (r + tail)
// with pi/2 in the pieces of `reduce`: x - n p1 is exact, the rounding of the
// next difference is recovered (Dekker's fast sum: r1 outweighs n p2 but
// where the difference is exact), the last piece joins the tail. sin r and
// cos r by fdlibm's polynomials, taken in pairs of terms (chains half as
// long as Horner's); the tail enters to first order.
// V is D or a Pack of them.
template <class V>
FX_MATH_INLINE void sincosOf(V x, V& s, V& c) {
    V n = roundInt(x * splat(6.36619772367581382433e-01));
    const V r1 = x - n * splat(1.57079632673412561417e+00), p2 = n * splat(6.07710050630396597660e-11);
    V r = r1 - p2;
    V tail = ((r1 - r) - p2) - n * splat(2.02226624879595063154e-21);
    reduceLargeIfAny(x, r, tail, n);
    const V z = r * r, z2 = z * z, z4 = z2 * z2;
    const V ps = (splat(-1.66666666666666324348e-01) + z * splat(8.33333333332248946124e-03)) +
                 z2 * (splat(-1.98412698298579493134e-04) + z * splat(2.75573137070700676789e-06)) +
                 z4 * (splat(-2.50507602534068634195e-08) + z * splat(1.58969099521155010221e-10));
    const V pc = (splat(4.16666666666666019037e-02) + z * splat(-1.38888888888741095749e-03)) +
                 z2 * (splat(2.48015872894767294178e-05) + z * splat(-2.75573143513906633035e-07)) +
                 z4 * (splat(2.08757232129817482790e-09) + z * splat(-1.13596475577881948265e-11));
    const V ks = r + ((r * z) * ps + tail);
    const V hz = splat(0.5) * z, w = splat(1.0) - hz;
    const V kc = w + (((splat(1.0) - w) - hz) + (z2 * pc - r * tail));
    // n + 1.5 2^52 holds n's low bits; moved up by 62, bit 0 of n lands in the exponent (the lane
    // is 0 or 2 in magnitude) and bit 1 in the sign, which sin takes; cos takes bit 1 of n + 1.
    const V t = n + splat(0x1.8p52);
    const V q = shiftLeft(t, 62);
    const auto odd = q != splat(0.0);
    s = bitXor(select(odd, kc, ks), bitAnd(q, splat(-0.0)));
    c = bitXor(select(odd, ks, kc), bitAnd(bitXor(q, shiftLeft(t, 63)), splat(-0.0)));
    s = select(tiny(x), x, s);
}
}  // namespace detail

FX_MATH_INLINE void sincos(D x, D& s, D& c) { detail::sincosOf(x, s, c); }
// Several at once, to the bit as one by one.
template <int K>
FX_MATH_INLINE void sincos(Pack<K> x, Pack<K>& s, Pack<K>& c) {
    detail::sincosOf(x, s, c);
}
template <int K>
FX_MATH_INLINE Pack<K> sin(Pack<K> x) {
    Pack<K> s, c;
    detail::sincosOf(x, s, c);
    return s;
}
template <int K>
FX_MATH_INLINE Pack<K> cos(Pack<K> x) {
    Pack<K> s, c;
    detail::sincosOf(x, s, c);
    return c;
}


FX_MATH_INLINE D sin(D x) {
    D s, c;
    sincos(x, s, c);
    return s;
}

FX_MATH_INLINE D cos(D x) {
    D s, c;
    sincos(x, s, c);
    return c;
}

namespace detail {
// V is D or a Pack of them.
template <class V>
FX_MATH_INLINE V tanOf(V x) {
    const Quadrant<V> q = reduce(x);
    const V ks = kernelSin(q.hi, q.lo), kc = kernelCos(q.hi, q.lo);
    const auto odd = isOdd(q.n);
    const V t = select(odd, -kc, ks) / select(odd, ks, kc);
    return select(tiny(x), x, t);
}
}  // namespace detail

inline D tan(D x) { return detail::tanOf(x); }
// Several at once, to the bit as one by one.
template <int K>
FX_MATH_INLINE Pack<K> tan(Pack<K> x) {
    return detail::tanOf(x);
}

namespace detail {
// atan(y / x) for 0 <= y, x <= 2^512, not both zero: fdlibm's four
// intervals about atan(0.5), atan(1), atan(1.5) and atan(inf), chosen lane
// by lane, with the interval's reduction (a t + b) / (c + d t) of t = y / x
// taken as (a y + b x) / (c x + d y): one division instead of two.
// V is D or a Pack of them.
template <class V>
FX_MATH_INLINE V atanOfRatio(V y, V x) {
    const auto i0 = splat(0.4375) * x <= y, i1 = splat(0.6875) * x <= y, i2 = splat(1.1875) * x <= y,
               i3 = splat(2.4375) * x <= y;
    V num = select(i0, y * splat(2.0) - x, y), den = select(i0, x * splat(2.0) + y, x);
    V hi = select(i0, splat(4.63647609000806093515e-01), splat(0.0));
    V lo = select(i0, splat(2.26987774529616870924e-17), splat(0.0));
    num = select(i1, y - x, num);
    den = select(i1, x + y, den);
    hi = select(i1, splat(7.85398163397448278999e-01), hi);
    lo = select(i1, splat(3.06161699786838301793e-17), lo);
    num = select(i2, y - splat(1.5) * x, num);
    den = select(i2, x + splat(1.5) * y, den);
    hi = select(i2, splat(9.82793723247329054082e-01), hi);
    lo = select(i2, splat(1.39033110312309984516e-17), lo);
    num = select(i3, -x, num);
    den = select(i3, y, den);
    hi = select(i3, splat(1.57079632679489655800e+00), hi);
    lo = select(i3, splat(6.12323399573676603587e-17), lo);
    const V t = num / den;
    const V z = t * t, w = z * z;
    const V s1 = z * poly(w, 3.33333333333329318027e-01, 1.42857142725034663711e-01, 9.09088713343650656196e-02,
                          6.66107313738753120669e-02, 4.97687799461593236017e-02, 1.62858201153657823623e-02);
    const V s2 = w * poly(w, -1.99999999998764832476e-01, -1.11111104054623557880e-01, -7.69187620504482999495e-02,
                          -5.83357013379057348645e-02, -3.65315727442169155270e-02);
    return hi - ((t * (s1 + s2) - lo) - t);
}
}  // namespace detail

namespace detail {
// a (atan |y / x|) placed in the quadrant of (x, y).
inline D angleOf(D a, D y, D x) {
    const D pi = splat(3.1415926535897931160E+00), piLo = splat(1.2246467991473531772E-16);
    return copySign(select(detail::signBit(x), pi - (a - piLo), a), y);
}

inline Mask ordinaryAtan2(D ay, D ax) {
    const D big = splat(0x1p512), small = splat(0x1p-512);
    return (ax <= big) & (ay <= big) & ((small <= ax) | (small <= ay));
}

// atan2 where some lane is off the ordinary range; on ordinary lanes the same operations as atan2's.
[[gnu::noinline, gnu::cold]] inline D atan2Special(D y, D x) {
    D ax = abs(x), ay = abs(y);
    const D big = splat(0x1p512), small = splat(0x1p-512);
    // An infinite side is 1 against 0 for a finite other side, 1 against 1 for an infinite one.
    const Mask infX = ax == detail::infinity(), infY = ay == detail::infinity();
    ax = select(infX, splat(1.0), select(infY, splat(0.0), ax));
    ay = select(infY, splat(1.0), select(infX, splat(0.0), ay));
    // Scaled by a power of two (exact) into the range where the reduction neither overflows nor
    // loses subnormal digits.
    const D scale = select((ax > big) | (ay > big), small, select((ax < small) & (ay < small), big, splat(1.0)));
    ax = ax * scale;
    ay = ay * scale;
    const D a = select((ax == splat(0.0)) & (ay == splat(0.0)), splat(0.0), detail::atanOfRatio(ay, ax));
    return select((x != x) | (y != y), x + y, angleOf(a, y, x));
}
}  // namespace detail

// The angle of (x, y) in -pi..pi, with the signs of zeros and the
// infinities as C's atan2 has them. Lanes off the ordinary range take the
// slow path, out of line.
FX_MATH_INLINE D atan2(D y, D x) {
    const D ax = abs(x), ay = abs(y);
    if (!all(detail::ordinaryAtan2(ay, ax))) return detail::atan2Special(y, x);
    return detail::angleOf(detail::atanOfRatio(ay, ax), y, x);
}

// Several angles at once, v[i] = atan2(y.v[i], x.v[i]) to the bit.
template <int K>
FX_MATH_INLINE Pack<K> atan2(Pack<K> y, Pack<K> x) {
    Pack<K> ax, ay, r;
    bool ordinary = true;
    FX_PACK_EACH {
        ax.v[i] = abs(x.v[i]);
        ay.v[i] = abs(y.v[i]);
        ordinary = ordinary & all(detail::ordinaryAtan2(ay.v[i], ax.v[i]));
    }
    if (!ordinary) {
        FX_PACK_EACH r.v[i] = atan2(y.v[i], x.v[i]);
        return r;
    }
    const Pack<K> a = detail::atanOfRatio(ay, ax);
    FX_PACK_EACH r.v[i] = detail::angleOf(a.v[i], y.v[i], x.v[i]);
    return r;
}

namespace detail {
// ln x for positive normal x: x = 2^k m, m within sqrt(1/2)..sqrt(2).
// V is D or a Pack of them; k is D.
template <class V>
FX_MATH_INLINE V logCore(V x, D k) {
    V m = mantissaOf(x);
    V e = exponentOf(x) + k;
    const auto high = m > splat(1.41421356237309504880);
    m = select(high, m * splat(0.5), m);
    e = select(high, e + splat(1.0), e);
    const V f = m - splat(1.0);
    const V hfsq = splat(0.5) * f * f;
    const V s = f / (splat(2.0) + f);
    const V z = s * s, w = z * z;
    const V t1 = w * poly(w, 3.999999999940941908e-01, 2.222219843214978396e-01, 1.531383769920937332e-01);
    const V t2 = z * poly(w, 6.666666666666735130e-01, 2.857142874366239149e-01, 1.818357216161805012e-01,
                          1.479819860511658591e-01);
    const V R = t2 + t1;
    return e * splat(6.93147180369123816490e-01) -
           ((hfsq - (s * (hfsq + R) + e * splat(1.90821492927058770002e-10))) - f);
}
}  // namespace detail

namespace detail {
// e^c for c within -746..710: c = n ln2 + r, |r| <= ln2 / 2, with ln2's
// first 32 bits exact in n ln2; e^r by its Taylor series to r^13. Beyond
// |c| = 708, 2^n in two factors, so that results near overflow and in the
// subnormals round once (elsewhere both give the same double).
template <class V>
FX_MATH_INLINE V expOf(V c, bool wide) {
    const V n = roundInt(c * splat(1.44269504088896338700e+00));
    const V r = (c - n * splat(6.93147180369123816490e-01)) - n * splat(1.90821492927058770002e-10);
    const V q = poly(r, 0.5, 0.16666666666666666, 0.041666666666666664, 0.008333333333333333, 0.001388888888888889,
                     0.0001984126984126984, 2.48015873015873e-05, 2.7557319223985893e-06, 2.755731922398589e-07,
                     2.505210838544172e-08, 2.08767569878681e-09, 1.6059043836821613e-10);
    const V m = splat(1.0) + (r * r * q + r);
    if (!wide) return m * pow2(n);
    const V half = roundInt(n * splat(0.5));
    return m * pow2(half) * pow2(n - half);
}
}  // namespace detail

namespace detail {
[[gnu::noinline, gnu::cold]] inline D expWide(D x) {
    // Past these, e^x is infinite or zero in double; a NaN stays.
    return detail::expOf(select(x > splat(710.0), splat(710.0), select(x < splat(-746.0), splat(-746.0), x)), true);
}

[[gnu::noinline, gnu::cold]] inline D logSpecial(D x) {
    const Mask subnormal = x < splat(0x1p-1022);
    const D r = detail::logCore(select(subnormal, x * splat(0x1p54), x), select(subnormal, splat(-54.0), splat(0.0)));
    D v = select(x == splat(0.0), -detail::infinity(), r);
    v = select(x < splat(0.0), splat(__builtin_nan("")), v);
    return select((x == detail::infinity()) | (x != x), x + x, v);
}
}  // namespace detail

FX_MATH_INLINE D exp(D x) {
    if (!all(abs(x) < splat(708.0))) return detail::expWide(x);
    return detail::expOf(x, false);
}

// ln x; subnormal x is scaled up by 2^54 first. ln 0 = -inf, ln of a negative is NaN.
FX_MATH_INLINE D log(D x) {
    if (!all((splat(0x1p-1022) <= x) & (x <= splat(1.7976931348623157e308)))) return detail::logSpecial(x);
    return detail::logCore(x, splat(0.0));
}

namespace detail {
// pow's special values over r = e^(y ln |x|).
[[gnu::noinline, gnu::cold]] inline D powSpecial(D x, D y, D r) {
    const D ax = abs(x);
    const Mask ordinaryY = abs(y) < splat(0x1p51);
    const D yy = select(ordinaryY, y, splat(0.0));
    const Mask integral = (roundInt(yy) == yy) | !ordinaryY;
    r = select(detail::signBit(x) & integral & ordinaryY & detail::isOdd(yy), -r, r);
    r = select((x < splat(0.0)) & (ax != detail::infinity()) & !integral, splat(__builtin_nan("")), r);
    const Mask one = (y == splat(0.0)) | (x == splat(1.0)) | ((ax == splat(1.0)) & (abs(y) == detail::infinity()));
    return select(one, splat(1.0), r);
}
}  // namespace detail

// x^y as e^(y ln |x|), with C's special values: x^0 = 1^y = 1, a negative
// x gives a result only for an integral y (negative for an odd one).
FX_MATH_INLINE D pow(D x, D y) {
    const D r = exp(y * log(abs(x)));
    const D largest = splat(1.7976931348623157e308);
    if (!all((splat(0.0) < x) & (x <= largest) & (abs(y) <= largest))) return detail::powSpecial(x, y, r);
    return r;
}

// Several powers at once, v[i] = pow(x.v[i], y.v[i]) to the bit: the
// logarithms, then the exponentials, of all K in step. Off the ordinary
// range of any lane, each vector alone.
template <int K>
FX_MATH_INLINE Pack<K> pow(Pack<K> x, Pack<K> y) {
    const D largest = splat(1.7976931348623157e308);
    bool ordinary = true;
    FX_PACK_EACH ordinary = ordinary & all((splat(0x1p-1022) <= x.v[i]) & (x.v[i] <= largest) & (abs(y.v[i]) <= largest));
    Pack<K> r;
    if (!ordinary) {
        FX_PACK_EACH r.v[i] = pow(x.v[i], y.v[i]);
        return r;
    }
    const Pack<K> c = y * detail::logCore(x, splat(0.0));
    FX_PACK_EACH ordinary = ordinary & all(abs(c.v[i]) < splat(708.0));
    if (!ordinary) {
        FX_PACK_EACH r.v[i] = exp(c.v[i]);
        return r;
    }
    return detail::expOf(c, false);
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
