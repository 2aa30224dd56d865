// laneMath for the instruction set the including file is compiled for.
#pragma once

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
    store(out, r);
    return out[kWidth - 1];
}
}  // namespace FX_LANES_ISA
}  // namespace lanes
