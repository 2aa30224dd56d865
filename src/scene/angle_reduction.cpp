#include "scene/angle_reduction.h"

#include <cstdint>
#include <cstring>

namespace {
// The bits of 2/pi after the binary point, 32 a word, most significant first.
constexpr uint32_t kTwoOverPi[40] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D};

constexpr int kWindowWords = 6;   // 192 bits of 2/pi per reduction
constexpr int kProductWords = 8;  // a 53-bit significand times the window

// 2^k for k within the normal exponents.
double twoTo(int k) {
    const uint64_t bits = uint64_t(k + 1023) << 52;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// v rounded once to double, in pieces that convert exactly (no 64-bit conversion on 32-bit x86).
double toDouble(uint64_t v) {
    const double high = double(int32_t(v >> 52)) * 0x1p52 + double(int32_t(v >> 26 & 0x3FFFFFF)) * 0x1p26;
    return high + double(int32_t(v & 0x3FFFFFF));
}

// 64 bits of the product, starting at bit `from` (bit 0 the lowest).
uint64_t bitsAt(const uint32_t (&p)[kProductWords], int from) {
    const int w = from / 32, shift = from % 32;
    const auto word = [&](int k) -> uint64_t { return k < kProductWords ? p[k] : 0u; };
    return (word(w + 2) << 32 | word(w + 1)) << (32 - shift) | word(w) >> shift;
}

// a * b = p + the returned error, exactly (Dekker's product, without a fused multiply-add).
double productError(double a, double b, double p) {
    const double split = 134217729.0;  // 2^27 + 1
    const double ca = split * a, cb = split * b;
    const double ah = ca - (ca - a), al = a - ah;
    const double bh = cb - (cb - b), bl = b - bh;
    return ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}
}  // namespace

ReducedAngle reduceLarge(double x) {
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const bool negative = bits >> 63;
    const int biased = int(bits >> 52 & 0x7FF);
    const uint64_t m = (bits & 0xFFFFFFFFFFFFFull) | (biased ? 1ull << 52 : 0);
    const int e = (biased ? biased : 1) - 1075;  // |x| = m 2^e
    // Bit i of 2/pi (i = 1 just after the point) adds m b_i 2^(e - i): a multiple of 4 for
    // i <= e - 2, which leaves n modulo 4 as it is. The window starts at the first bit that counts.
    const int first = e - 1 > 1 ? e - 1 : 1;
    const int word = (first - 1) / 32, shift = (first - 1) % 32;
    uint32_t window[kWindowWords];  // least significant first
    for (int j = 0; j < kWindowWords; ++j) {
        const int k = word + (kWindowWords - 1 - j);
        const uint64_t pair = uint64_t(kTwoOverPi[k]) << 32 | kTwoOverPi[k + 1];
        window[j] = uint32_t(pair >> (32 - shift));
    }
    // The window times m, in 32-bit words: |x| 2/pi = product 2^-fraction (mod 4).
    uint32_t product[kProductWords] = {};
    const uint32_t mw[2] = {uint32_t(m), uint32_t(m >> 32)};
    for (int a = 0; a < 2; ++a) {
        uint64_t carry = 0;
        for (int b = 0; b < kWindowWords; ++b) {
            const uint64_t t = uint64_t(mw[a]) * window[b] + product[a + b] + carry;
            product[a + b] = uint32_t(t);
            carry = t >> 32;
        }
        product[a + kWindowWords] = uint32_t(carry);
    }
    const int fraction = first + 32 * kWindowWords - 1 - e;
    int quadrant = int(bitsAt(product, fraction) & 3);
    // The fraction's leading 128 bits; past one half, the angle is taken from the next quadrant.
    uint64_t high = bitsAt(product, fraction - 64), low = bitsAt(product, fraction - 128);
    const bool fromNext = high >> 63;
    if (fromNext) {
        quadrant = (quadrant + 1) & 3;
        low = ~low + 1;
        high = ~high + (low == 0);
    }
    // Normalised so the leading bit is the top of `high`.
    int scale = 0;
    if (high == 0) {
        high = low;
        low = 0;
        scale = 64;
    }
    if (high == 0) return {0.0, 0.0, double(quadrant)};  // never for a double: 2/pi is irrational
    while (!(high >> 63)) {
        high = high << 1 | low >> 63;
        low <<= 1;
        ++scale;
    }
    const double fh = toDouble(high >> 11) * twoTo(-53 - scale);
    const double fl = toDouble((high & 0x7FF) << 53 | low >> 11) * twoTo(-117 - scale);
    // Times pi/2 in two parts.
    const double pio2Hi = 1.57079632679489655800e+00, pio2Lo = 6.12323399573676603587e-17;
    const double p = fh * pio2Hi;
    const double t = productError(fh, pio2Hi, p) + (fh * pio2Lo + fl * pio2Hi);
    double hi = p + t, lo = t - (hi - p);
    if (fromNext != negative) {
        hi = -hi;
        lo = -lo;
    }
    if (negative) quadrant = (4 - quadrant) & 3;
    return {hi, lo, double(quadrant)};
}
