// The affine rules on lanes: Translate, Scale and Translate from spline
// (a float sum or product per coordinate, which the doubles give exactly)
// and Rotate (the matrix product of transformPoint).
#pragma once

#include "effects/batch_rules.h"
#include "scene/lane_records.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

// Translate, Scale and Translate from spline are float sums and products,
// taken in float lanes.
inline FMask finite(const FloatPoints& p) { return isFinite(p.x) & isFinite(p.y) & isFinite(p.z); }

// Groups of finite results, nearly all, skip the blends: 15 % faster on a curve.
inline FloatPoints keepUnlessFinite(const FloatPoints& moved, const FloatPoints& p) {
    const FMask ok = finite(moved);
    if (all(ok)) return moved;
    return {select(ok, moved.x, p.x), select(ok, moved.y, p.y), select(ok, moved.z, p.z)};
}

inline void translatePoints(const TranslateRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n,
                            float* lengths) {
    const F tx = splatF(k.translation.x), ty = splatF(k.translation.y), tz = splatF(k.translation.z);
    const auto rule = [&](const FloatPoints& p) { return keepUnlessFinite({p.x + tx, p.y + ty, p.z + tz}, p); };
    if (lengths) return moveRecords(in, out, stride, n, lengths, rule);
    eachFloatGroupAlike(in, out, stride, n, {tx, ty, tz}, [](auto a, auto b) { return a + b; }, rule);
}

inline void scalePoints(const ScaleRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n,
                        float* lengths) {
    const F gx = splatF(k.gain.x), gy = splatF(k.gain.y), gz = splatF(k.gain.z);
    const auto rule = [&](const FloatPoints& p) { return keepUnlessFinite({p.x * gx, p.y * gy, p.z * gz}, p); };
    if (lengths) return moveRecords(in, out, stride, n, lengths, rule);
    eachFloatGroupAlike(in, out, stride, n, {gx, gy, gz}, [](auto a, auto b) { return a * b; }, rule);
}

inline void offsetPoints(const OffsetRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n,
                         float* lengths) {
    const F ox = splatF(k.offset.x), oy = splatF(k.offset.y), oz = splatF(k.offset.z);
    const auto rule = [&](const FloatPoints& p) { return FloatPoints{p.x + ox, p.y + oy, p.z + oz}; };
    if (lengths) return moveRecords(in, out, stride, n, lengths, rule);
    eachFloatGroupAlike(in, out, stride, n, {ox, oy, oz}, [](auto a, auto b) { return a + b; }, rule);
}

// A fixed axis, one lane vector per coordinate.
struct Axis {
    explicit Axis(const Vec3& a) : x(splat(a.x)), y(splat(a.y)), z(splat(a.z)) {}
    D x, y, z;
};

// dot(d, axis): the z, y and x products summed in that order.
inline D dotWith(D dx, D dy, D dz, const Axis& axis) { return toFloat(dz * axis.z + dy * axis.y + dx * axis.x); }

// A Mat4's first three columns, one lane vector per element.
struct Matrix {
    explicit Matrix(const Mat4& matrix) {
        for (int i = 0; i < 16; ++i) m[i] = splat(matrix.m[i]);
    }
    D m[16];
};

// Rotate: the difference from the centre and the last two sums in floats;
// each sum of products in double, rounded to float where transformPoint
// rounds it. The matrix's first three rows, one lane vector per element.
struct Turn {
    explicit Turn(const RotateRule& k) : cx(splatF(k.center.x)), cy(splatF(k.center.y)), cz(splatF(k.center.z)) {
        for (int j = 0; j < 3; ++j) {
            row0[j] = splat(k.rotation.m[j]);
            row1[j] = splat(k.rotation.m[4 + j]);
            row2[j] = splat(k.rotation.m[8 + j]);
            last[j] = splatF(k.rotation.m[12 + j]);
        }
    }
    F cx, cy, cz, last[3];
    D row0[3], row1[3], row2[3];
};

// The rule is inlined into the block loop, which a call per block slowed by
// about 15 %, and its three coordinates unrolled.
inline void rotatePoints(const RotateRule& k, const Vec3* in, Vec3* out, size_t stride, size_t n,
                         float* lengths) {
    if (k.still) return copyRecords(in, out, stride, n, lengths);
    const Turn t(k);
    const auto turn = [&t](const FloatPoints& p) __attribute__((always_inline)) {
        const D x = widen(p.x - t.cx), y = widen(p.y - t.cy), z = widen(p.z - t.cz);
        const auto turned = [&](int j) __attribute__((always_inline)) {
            return narrow(toFloat(y * t.row1[j] + x * t.row0[j]) + z * t.row2[j]) + t.last[j];
        };
        return FloatPoints{turned(0) + t.cx, turned(1) + t.cy, turned(2) + t.cz};
    };
    moveRecords(in, out, stride, n, lengths, turn);
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
