// laneMath on one lane vector and within a pack of them, compiled once per
// instruction set (cmake/lanes.cmake).
#pragma once

#include <cstring>

#include "lane_math_sets.h"
#include "scene/lane_math.h"

namespace lanes {
inline namespace FX_LANES_ISA {
double laneMath(MathFunction f, double x, double y) {
    alignas(64) double xs[kWidth], ys[kWidth], out[kWidth];
    for (int i = 0; i < kWidth; ++i) {
        xs[i] = x;
        ys[i] = y;
    }
    const D a = load(xs), b = load(ys);
    const D r = f == MathFunction::sin     ? sin(a)
                : f == MathFunction::cos   ? cos(a)
                : f == MathFunction::tan   ? tan(a)
                : f == MathFunction::atan2 ? atan2(a, b)
                : f == MathFunction::exp   ? exp(a)
                : f == MathFunction::log   ? log(a)
                                           : pow(a, b);
    // The same through a pack, between vectors of other arguments: a result not the same to the bit
    // comes back instead.
    const Pack<3> pa{{splat(0.5), a, splat(3e5)}}, pb{{splat(2.0), b, splat(0.25)}};
    Pack<3> s, c;
    sincos(pa, s, c);
    const D p = f == MathFunction::sin     ? s.v[1]
                : f == MathFunction::cos   ? cos(pa).v[1]
                : f == MathFunction::tan   ? tan(pa).v[1]
                : f == MathFunction::atan2 ? atan2(pa, pb).v[1]
                : f == MathFunction::pow   ? pow(pa, pb).v[1]
                                           : r;
    alignas(64) double packed[kWidth];
    store(out, r);
    store(packed, p);
    return std::memcmp(out, packed, sizeof out) == 0 ? out[kWidth - 1] : packed[kWidth - 1];
}
}  // namespace FX_LANES_ISA
}  // namespace lanes
