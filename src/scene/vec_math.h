// Value math shared by the effects, the working copies and the gizmos.
// Every operation computes in double and stores its results as floats;
// guards that protect a division compare against exactly zero.
#pragma once

#include <cmath>

#include "fx/abi.h"

inline Vec3 sum(const Vec3& a, const Vec3& b) {
    return {float(double(a.x) + b.x), float(double(a.y) + b.y), float(double(a.z) + b.z)};
}

inline Vec3 difference(const Vec3& a, const Vec3& b) {
    return {float(double(a.x) - b.x), float(double(a.y) - b.y), float(double(a.z) - b.z)};
}

inline Vec3 scaled(const Vec3& v, float s) {
    return {float(double(s) * v.x), float(double(s) * v.y), float(double(s) * v.z)};
}

inline void scale(Vec3& v, float s) { v = scaled(v, s); }

inline void addTo(Vec3& a, const Vec3& b) { a = sum(a, b); }

inline float dot(const Vec3& a, const Vec3& b) {
    return float(double(a.z) * b.z + double(a.y) * b.y + double(a.x) * b.x);
}

inline float lengthSquared(const Vec3& v) {
    return float(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
}

inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {float(double(a.y) * b.z - double(a.z) * b.y),
            float(double(a.z) * b.x - double(a.x) * b.z),
            float(double(a.x) * b.y - double(a.y) * b.x)};
}

// Exact components compare: a NaN component counts as different.
inline bool samePoint(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

inline bool isFinite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// One reciprocal, three multiplications; a zero vector stays as it is.
Vec3& normalize(Vec3& v);

inline Vec3 normalized(Vec3 v) { return normalize(v); }

// v times 1/s, unless s is exactly zero.
void divide(Vec3& v, float s);

// Sixteen floats in rows of four; points are row vectors and the
// translation is the fourth row.
struct Mat4 {
    float m[16];
};

void identity(Mat4& m);
void fill(Mat4& m, float value);
void divide(Mat4& m, float s);
Vec3 row(const Mat4& m, int i);
Vec3 transformPoint(const Mat4& m, const Vec3& p);
// The right-handed rotation by angle (radians) about a unit axis.
void rotationAboutAxis(Mat4& m, const Vec3& axis, float angle);
// Rows 0.2 (end - centre) and the translation row (centre, 1): an axis end
// point at distance 5 from the centre is a unit axis.
void frameMatrix(Mat4& m, const Vec3& centre, const Vec3& endX, const Vec3& endY, const Vec3& endZ);

struct Quat {
    float x, y, z, w;
};

inline Quat fromVector(const Vec3& v) { return {v.x, v.y, v.z, 0.0f}; }
inline Quat conjugate(const Quat& q) { return {-q.x, -q.y, -q.z, q.w}; }
// The Hamilton product a b, with eight products.
Quat multiply(const Quat& a, const Quat& b);

// p moves to distance 5 from c along the direction from c to p.
void placeAtRadius(Vec3& p, const Vec3& c);
// v becomes perpendicular to a and keeps its length; parallel gives zero.
void orthogonalize(Vec3& v, const Vec3& a);

constexpr float kTurn = 6.2831855f;
