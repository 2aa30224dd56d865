// The lane kernels, compiled once per instruction set (cmake/lanes.cmake).
#pragma once

#include "lane_costs.h"
#include "scene/lane_math.h"
#include "scene/mesh_lanes.h"

#define FX_LANE_SET_NAME_OF(set) #set
#define FX_LANE_SET_NAME(set) FX_LANE_SET_NAME_OF(set)

namespace lanes {
inline namespace FX_LANES_ISA {

inline void runLaneFunction(LaneFunction f, const double* x, const double* y, double* out, double* out2) {
    const auto each = [&](auto fn) {
        for (int i = 0; i < kLaneElements; i += kWidth) store(out + i, fn(load(x + i), load(y + i)));
    };
    switch (f) {
        case LaneFunction::sin: return each([](D a, D) { return sin(a); });
        case LaneFunction::cos: return each([](D a, D) { return cos(a); });
        case LaneFunction::sincos:
            for (int i = 0; i < kLaneElements; i += kWidth) {
                D s, c;
                sincos(load(x + i), s, c);
                store(out + i, s);
                store(out2 + i, c);
            }
            return;
        case LaneFunction::tan: return each([](D a, D) { return tan(a); });
        case LaneFunction::atan2: return each([](D a, D b) { return atan2(a, b); });
        case LaneFunction::exp: return each([](D a, D) { return exp(a); });
        case LaneFunction::log: return each([](D a, D) { return log(a); });
        case LaneFunction::pow: return each([](D a, D b) { return pow(a, b); });
        case LaneFunction::sqrt: return each([](D a, D) { return sqrt(a); });
        case LaneFunction::div: return each([](D a, D b) { return a / b; });
    }
}

// The faces in packs, as the rebuild along a plan takes them.
inline void runFaceRule(const float* corners, float* out) {
    constexpr int K = kFacePack;
    const auto at = [&](int row, int face) { return loadF(corners + row * kLaneElements + face); };
    for (int first = 0; first < kLaneElements; first += K * kWidth) {
        FloatPoints a[K], b[K], c[K], w[K];
        FX_PACK_EACH {
            const int face = first + i * kWidth;
            a[i] = {at(0, face), at(1, face), at(2, face)};
            b[i] = {at(3, face), at(4, face), at(5, face)};
            c[i] = {at(6, face), at(7, face), at(8, face)};
        }
        weightedNormals(a, b, c, w);
        FX_PACK_EACH {
            const int face = first + i * kWidth;
            storeF(out + face, w[i].x);
            storeF(out + kLaneElements + face, w[i].y);
            storeF(out + 2 * kLaneElements + face, w[i].z);
        }
    }
}

extern const LaneKernels kLaneKernels;
const LaneKernels kLaneKernels{runLaneFunction, runFaceRule, kWidth, FX_LANE_SET_NAME(FX_LANES_ISA)};

}  // namespace FX_LANES_ISA
}  // namespace lanes
