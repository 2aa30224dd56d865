#include "scene/vec_math.h"

#include "scene/scalar_math.h"

Vec3& normalize(Vec3& v) {
    const float q = lengthSquared(v);
    if (q == 0.0f) return v;
    const float l = float(std::sqrt(double(q)));
    if (l == 0.0f) return v;
    const double r = 1.0 / l;
    v = {float(r * v.x), float(r * v.y), float(r * v.z)};
    return v;
}

void divide(Vec3& v, float s) {
    if (s == 0.0f) return;
    const double r = 1.0 / s;
    v = {float(r * v.x), float(r * v.y), float(r * v.z)};
}

void identity(Mat4& m) {
    fill(m, 0.0f);
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1.0f;
}

void fill(Mat4& m, float value) {
    for (float& e : m.m) e = value;
}

void divide(Mat4& m, float s) {
    if (s == 0.0f) return;
    const double r = 1.0 / s;
    for (float& e : m.m) e = float(r * e);
}

Vec3 row(const Mat4& m, int i) { return {m.m[4 * i], m.m[4 * i + 1], m.m[4 * i + 2]}; }

Vec3 transformPoint(const Mat4& m, const Vec3& p) {
    const float* e = m.m;
    Vec3 out;
    float* o = &out.x;
    for (int j = 0; j < 3; ++j) {
        float acc = float(double(p.y) * e[4 + j] + double(p.x) * e[j]);
        acc = float(double(acc) + double(p.z) * e[8 + j]);
        o[j] = float(double(acc) + e[12 + j]);
    }
    return out;
}

void rotationAboutAxis(Mat4& m, const Vec3& axis, float angle) {
    const double c = fxmath::cos(double(angle)), s = fxmath::sin(double(angle)), t = 1.0 - c;
    const double x = axis.x, y = axis.y, z = axis.z;
    const float r[16] = {float(t * x * x + c), float(t * x * y + s * z), float(t * x * z - s * y), 0.0f,
                         float(t * y * x - s * z), float(t * y * y + c), float(t * y * z + s * x), 0.0f,
                         float(t * z * x + s * y), float(t * z * y - s * x), float(t * z * z + c), 0.0f,
                         0.0f, 0.0f, 0.0f, 1.0f};
    for (int i = 0; i < 16; ++i) m.m[i] = r[i];
}

void frameMatrix(Mat4& m, const Vec3& centre, const Vec3& endX, const Vec3& endY, const Vec3& endZ) {
    const Vec3 ends[3] = {endX, endY, endZ};
    for (int i = 0; i < 3; ++i) {
        const Vec3 r = scaled(difference(ends[i], centre), 0.2f);
        m.m[4 * i] = r.x;
        m.m[4 * i + 1] = r.y;
        m.m[4 * i + 2] = r.z;
        m.m[4 * i + 3] = 0.0f;
    }
    m.m[12] = centre.x;
    m.m[13] = centre.y;
    m.m[14] = centre.z;
    m.m[15] = 1.0f;
}

Quat multiply(const Quat& a, const Quat& b) {
    const double A = (double(b.x) + b.y) * (double(a.z) + a.x);
    const double B = (double(b.x) - b.y) * (double(a.z) - a.x);
    const double C = (double(a.w) - a.y) * (double(b.z) + b.w);
    const double D = (double(b.w) - b.z) * (double(a.y) + a.w);
    const double E = B - A, F = B + A;
    return {float((double(b.x) + b.w) * (double(a.x) + a.w) + 0.5 * (E - D - C)),
            float((double(a.w) - a.x) * (double(b.z) + b.y) + 0.5 * (F + D - C)),
            float((double(b.w) - b.x) * (double(a.z) + a.y) + 0.5 * (F - D + C)),
            float((double(b.y) - b.z) * (double(a.z) - a.y) + 0.5 * (E + C + D))};
}

void placeAtRadius(Vec3& p, const Vec3& c) {
    Vec3 d = difference(p, c);
    normalize(d);
    p = sum(c, scaled(d, 5.0f));
}

void orthogonalize(Vec3& v, const Vec3& a) {
    const float l = float(std::sqrt(double(lengthSquared(v))));
    Vec3 u = cross(a, v);
    normalize(u);
    Vec3 w = cross(u, a);
    normalize(w);
    v = scaled(w, l);
}
