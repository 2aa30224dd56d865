// The affine rules on lanes: Translate, Scale and Translate from spline
// (a float sum or product per coordinate, which the doubles give exactly)
// and Rotate (the matrix product of transformPoint).
#pragma once

#include "scene/batch_rules.h"
#include "scene/lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

inline Mask finite(const Points& p) { return isFinite(p.x) & isFinite(p.y) & isFinite(p.z); }

inline Points keepUnlessFinite(const Points& moved, const Points& p) {
    const Mask ok = finite(moved);
    return {select(ok, moved.x, p.x), select(ok, moved.y, p.y), select(ok, moved.z, p.z)};
}

inline void translatePoints(const TranslateRule& k, const Vec3* in, size_t inStride, Vec3* out, size_t outStride,
                            size_t n) {
    const D tx = splat(k.translation.x), ty = splat(k.translation.y), tz = splat(k.translation.z);
    eachGroup(in, inStride, out, outStride, n, [&](const Points& p) {
        return keepUnlessFinite({toFloat(p.x + tx), toFloat(p.y + ty), toFloat(p.z + tz)}, p);
    });
}

inline void scalePoints(const ScaleRule& k, const Vec3* in, size_t inStride, Vec3* out, size_t outStride,
                        size_t n) {
    const D gx = splat(k.gain.x), gy = splat(k.gain.y), gz = splat(k.gain.z);
    eachGroup(in, inStride, out, outStride, n, [&](const Points& p) {
        return keepUnlessFinite({toFloat(p.x * gx), toFloat(p.y * gy), toFloat(p.z * gz)}, p);
    });
}

inline void offsetPoints(const OffsetRule& k, const Vec3* in, size_t inStride, Vec3* out, size_t outStride,
                         size_t n) {
    const D ox = splat(k.offset.x), oy = splat(k.offset.y), oz = splat(k.offset.z);
    eachGroup(in, inStride, out, outStride, n, [&](const Points& p) {
        return Points{p.x + ox, p.y + oy, p.z + oz};
    });
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

// transformPoint(m, p): per coordinate, the y and x terms, then z, then the translation, each sum rounded.
inline D transformed(const Matrix& m, const Points& p, int j) {
    const D acc = toFloat(toFloat(p.y * m.m[4 + j] + p.x * m.m[j]) + p.z * m.m[8 + j]);
    return toFloat(acc + m.m[12 + j]);
}

inline Points transform(const Matrix& m, const Points& p) {
    return {transformed(m, p, 0), transformed(m, p, 1), transformed(m, p, 2)};
}

inline void rotatePoints(const RotateRule& k, const Vec3* in, size_t inStride, Vec3* out, size_t outStride,
                         size_t n) {
    if (k.still) return copyPoints(in, inStride, out, outStride, n);
    const D cx = splat(k.center.x), cy = splat(k.center.y), cz = splat(k.center.z);
    const Matrix rotation(k.rotation);
    eachGroup(in, inStride, out, outStride, n, [&](const Points& p) {
        const Points r = transform(rotation, {toFloat(p.x - cx), toFloat(p.y - cy), toFloat(p.z - cz)});
        return Points{r.x + cx, r.y + cy, r.z + cz};
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
