// How closely a fast path's floats follow the reference rule's: the share of
// bit-identical values and the largest distance in float ulps. Two NaNs agree
// (a NaN's sign and payload are left to the hardware).
#pragma once

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "fx/abi.h"

// n values bit for bit; with n 0 nothing is read (memcmp wants no null pointer even then).
template <class T>
bool sameBits(const T* a, const T* b, size_t n) {
    return n == 0 || std::memcmp(a, b, n * sizeof(T)) == 0;
}

inline bool sameFloat(float a, float b) {
    return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b) || (std::isnan(a) && std::isnan(b));
}

// Steps between two floats or two doubles along the number line (+0 and -0
// one apart); a NaN against a number is infinitely far.
template <class F>
int64_t ulpDistance(F a, F b) {
    using Bits = std::conditional_t<sizeof(F) == 4, int32_t, int64_t>;
    if (std::bit_cast<Bits>(a) == std::bit_cast<Bits>(b) || (std::isnan(a) && std::isnan(b))) return 0;
    if (std::isnan(a) || std::isnan(b)) return INT64_MAX;
    const auto ordered = [](F f) -> int64_t {
        const Bits bits = std::bit_cast<Bits>(f);
        return bits < 0 ? -int64_t(bits & std::numeric_limits<Bits>::max()) - 1 : bits;
    };
    // Doubles of opposite signs can lie further apart than an int64_t counts.
    const int64_t x = ordered(a), y = ordered(b);
    const uint64_t d = x > y ? uint64_t(x) - uint64_t(y) : uint64_t(y) - uint64_t(x);
    return d > uint64_t(INT64_MAX) ? INT64_MAX : int64_t(d);
}

struct Agreement {
    size_t values = 0, identical = 0;
    int64_t maxUlp = 0;

    void add(float reference, float fast) {
        ++values;
        const int64_t d = ulpDistance(reference, fast);
        if (d == 0) ++identical;
        if (d > maxUlp) maxUlp = d;
    }
    void add(const Vec3& reference, const Vec3& fast) {
        add(reference.x, fast.x);
        add(reference.y, fast.y);
        add(reference.z, fast.z);
    }
    double identicalShare() const { return values ? double(identical) / double(values) : 1.0; }
};
