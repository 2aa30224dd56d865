// Double-precision sin, cos, tan, atan2, exp, log and pow on lanes, within
// about an ulp of the C library's, so that a result rounded to float is the
// library's float but for the rarest ties. Each function has a fast path for
// ordinary arguments (the argument reductions and minimax polynomials of
// Sun's fdlibm, and a Taylor polynomial for exp) and hands every other lane
// (zeros where the sign matters, huge, infinite or NaN arguments) to the C
// library itself, so that those lanes are the library's results exactly.
#pragma once

#include <cmath>

#include "scene/lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

// Replaces the lanes of `which` by f of their arguments.
template <class F>
inline D scalarLanes(D result, Mask which, D a, F f) {
    const unsigned m = bits(which);
    if (!m) return result;
    alignas(64) double r[kWidth], x[kWidth];
    store(r, result);
    store(x, a);
    for (int i = 0; i < kWidth; ++i)
        if (m >> i & 1u) r[i] = f(x[i]);
    return load(r);
}

template <class F>
inline D scalarLanes(D result, Mask which, D a, D b, F f) {
    const unsigned m = bits(which);
    if (!m) return result;
    alignas(64) double r[kWidth], x[kWidth], y[kWidth];
    store(r, result);
    store(x, a);
    store(y, b);
    for (int i = 0; i < kWidth; ++i)
        if (m >> i & 1u) r[i] = f(x[i], y[i]);
    return load(r);
}

namespace detail {
inline D poly(D x, double c0, double c1) { return fmadd(x, splat(c1), splat(c0)); }
template <class... C>
inline D poly(D x, double c0, double c1, C... rest) {
    return fmadd(x, poly(x, c1, rest...), splat(c0));
}

// Odd integral n: n / 2 is not an integer.
inline Mask isOdd(D n) {
    const D h = n * splat(0.5);
    return h != roundInt(h);
}

// x = n pi/2 + (hi + lo), |hi + lo| <= pi/4: pi/2 in pieces of 33, 33 and
// 53 bits, the first two exact in their products with n (|n| < 2^20).
struct Quadrant {
    D hi, lo, n;
};
inline Quadrant reduce(D x) {
    const D n = roundInt(x * splat(6.36619772367581382433e-01));
    const D r = x - n * splat(1.57079632673412561417e+00);
    const D w = -(n * splat(6.07710050630396597660e-11));
    const D t = r + w;
    const D back = t - r;
    const D e = ((r - (t - back)) + (w - back)) - n * splat(2.02226624879595063154e-21);
    const D hi = t + e;
    return {hi, (t - hi) + e, n};
}

inline D kernelSin(D x, D y) {
    const D z = x * x, v = z * x;
    const D r = poly(z, 8.33333333332248946124e-03, -1.98412698298579493134e-04, 2.75573137070700676789e-06,
                     -2.50507602534068634195e-08, 1.58969099521155010221e-10);
    return x - ((z * (splat(0.5) * y - v * r) - y) - v * splat(-1.66666666666666324348e-01));
}

inline D kernelCos(D x, D y) {
    const D z = x * x;
    const D r = z * poly(z, 4.16666666666666019037e-02, -1.38888888888741095749e-03, 2.48015872894767294178e-05,
                         -2.75573143513906633035e-07, 2.08757232129817482790e-09, -1.13596475577881948265e-11);
    const D hz = splat(0.5) * z, w = splat(1.0) - hz;
    return w + (((splat(1.0) - w) - hz) + (z * r - x * y));
}

// Arguments the reduction handles; sin, cos and tan of a tiny x are x, 1, x.
inline Mask trigOutside(D x) { return !(abs(x) < splat(1e5)); }
inline Mask tiny(D x) { return abs(x) < splat(0x1p-27); }
}  // namespace detail

inline void sincos(D x, D& s, D& c) {
    const detail::Quadrant q = detail::reduce(x);
    const D ks = detail::kernelSin(q.hi, q.lo), kc = detail::kernelCos(q.hi, q.lo);
    const Mask odd = detail::isOdd(q.n);
    // The second bit of n: n halved, rounded down, is odd.
    const Mask second = detail::isOdd(select(odd, q.n - splat(1.0), q.n) * splat(0.5));
    s = select(odd, kc, ks);
    s = select(second, -s, s);
    c = select(odd, ks, kc);
    c = select(second ^ odd, -c, c);
    s = select(detail::tiny(x), x, s);
    const Mask outside = detail::trigOutside(x);
    s = scalarLanes(s, outside, x, [](double a) { return std::sin(a); });
    c = scalarLanes(c, outside, x, [](double a) { return std::cos(a); });
}

inline D sin(D x) {
    D s, c;
    sincos(x, s, c);
    return s;
}

inline D cos(D x) {
    D s, c;
    sincos(x, s, c);
    return c;
}

inline D tan(D x) {
    const detail::Quadrant q = detail::reduce(x);
    const D ks = detail::kernelSin(q.hi, q.lo), kc = detail::kernelCos(q.hi, q.lo);
    const Mask odd = detail::isOdd(q.n);
    D t = select(odd, -kc, ks) / select(odd, ks, kc);
    t = select(detail::tiny(x), x, t);
    return scalarLanes(t, detail::trigOutside(x), x, [](double a) { return std::tan(a); });
}

namespace detail {
// atan(y / x) for positive y / x in 2^-60..2^60: fdlibm's four intervals
// about atan(0.5), atan(1), atan(1.5) and atan(inf), chosen lane by lane,
// with the interval's reduction (a t + b) / (c + d t) of t = y / x taken
// as (a y + b x) / (c x + d y): one division instead of two.
inline D atanOfRatio(D y, D x) {
    const Mask i0 = splat(0.4375) * x <= y, i1 = splat(0.6875) * x <= y, i2 = splat(1.1875) * x <= y,
               i3 = splat(2.4375) * x <= y;
    D num = select(i0, y * splat(2.0) - x, y), den = select(i0, x * splat(2.0) + y, x);
    D hi = select(i0, splat(4.63647609000806093515e-01), splat(0.0));
    D lo = select(i0, splat(2.26987774529616870924e-17), splat(0.0));
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
    const D t = num / den;
    const D z = t * t, w = z * z;
    const D s1 = z * poly(w, 3.33333333333329318027e-01, 1.42857142725034663711e-01, 9.09088713343650656196e-02,
                          6.66107313738753120669e-02, 4.97687799461593236017e-02, 1.62858201153657823623e-02);
    const D s2 = w * poly(w, -1.99999999998764832476e-01, -1.11111104054623557880e-01, -7.69187620504482999495e-02,
                          -5.83357013379057348645e-02, -3.65315727442169155270e-02);
    return hi - ((t * (s1 + s2) - lo) - t);
}
}  // namespace detail

inline D atan2(D y, D x) {
    const D ax = abs(x), ay = abs(y);
    const D a = detail::atanOfRatio(ay, ax);
    const D pi = splat(3.1415926535897931160E+00), piLo = splat(1.2246467991473531772E-16);
    const D r = copySign(select(x < splat(0.0), pi - (a - piLo), a), y);
    // Zeros, infinities, NaNs, subnormals and ratios beyond 2^60 either way go to the library.
    const D normal = splat(0x1p-1022), large = splat(0x1p+900);
    const Mask ordinary = (normal <= ax) & (ax <= large) & (normal <= ay) & (ay <= large) &
                          (splat(0x1p-60) * ax <= ay) & (ay <= splat(0x1p60) * ax);
    return scalarLanes(r, !ordinary, y, x, [](double b, double a) { return std::atan2(b, a); });
}

namespace detail {
// e^x for |x| below 700: x = n ln2 + r, |r| <= ln2 / 2, with ln2's first
// 32 bits exact in n ln2; e^r by its Taylor series to r^13.
inline D expCore(D x) {
    const D n = roundInt(x * splat(1.44269504088896338700e+00));
    const D r = (x - n * splat(6.93147180369123816490e-01)) - n * splat(1.90821492927058770002e-10);
    const D q = poly(r, 0.5, 0.16666666666666666, 0.041666666666666664, 0.008333333333333333, 0.001388888888888889,
                     0.0001984126984126984, 2.48015873015873e-05, 2.7557319223985893e-06, 2.755731922398589e-07,
                     2.505210838544172e-08, 2.08767569878681e-09, 1.6059043836821613e-10);
    return (splat(1.0) + fmadd(r * r, q, r)) * pow2(n);
}
inline Mask expOrdinary(D x) { return abs(x) < splat(700.0); }

// ln x for positive normal x: x = 2^k m, m within sqrt(1/2)..sqrt(2).
inline D logCore(D x) {
    D k = exponentOf(x), m = mantissaOf(x);
    const Mask high = m > splat(1.41421356237309504880);
    m = select(high, m * splat(0.5), m);
    k = select(high, k + splat(1.0), k);
    const D f = m - splat(1.0);
    const D hfsq = splat(0.5) * f * f;
    const D s = f / (splat(2.0) + f);
    const D z = s * s, w = z * z;
    const D t1 = w * poly(w, 3.999999999940941908e-01, 2.222219843214978396e-01, 1.531383769920937332e-01);
    const D t2 = z * poly(w, 6.666666666666735130e-01, 2.857142874366239149e-01, 1.818357216161805012e-01,
                          1.479819860511658591e-01);
    const D R = t2 + t1;
    return k * splat(6.93147180369123816490e-01) -
           ((hfsq - (s * (hfsq + R) + k * splat(1.90821492927058770002e-10))) - f);
}
inline Mask logOrdinary(D x) { return (splat(0x1p-1022) <= x) & (x <= splat(1.7976931348623157e308)); }
}  // namespace detail

inline D exp(D x) {
    return scalarLanes(detail::expCore(x), !detail::expOrdinary(x), x, [](double a) { return std::exp(a); });
}

inline D log(D x) {
    return scalarLanes(detail::logCore(x), !detail::logOrdinary(x), x, [](double a) { return std::log(a); });
}

// x^y as e^(y ln x) for positive normal x and a product within exp's range.
inline D pow(D x, D y) {
    const D product = y * detail::logCore(x);
    const D r = detail::expCore(product);
    const Mask ordinary = detail::logOrdinary(x) & detail::expOrdinary(product);
    return scalarLanes(r, !ordinary, x, y, [](double a, double b) { return std::pow(a, b); });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
