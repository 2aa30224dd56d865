#include "gizmo/gizmo.h"

#include <cmath>

#include "scene/gl.h"
#include "scene/scalar_math.h"
#include "scene/vec_math.h"

namespace {
void color(const Vec3& c) { glColor3f(c.x, c.y, c.z); }
void vertex(const Vec3& v) { glVertex3f(v.x, v.y, v.z); }
void line(const Vec3& a, const Vec3& b) {
    vertex(a);
    vertex(b);
}
}  // namespace

void perpendicularPair(const Vec3& n, Vec3& u, Vec3& w) {
    const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    Vec3 r{0.0f, 0.0f, 1.0f};
    if (ax <= ay && ax <= az)
        r = {1.0f, 0.0f, 0.0f};
    else if (ay <= az)
        r = {0.0f, 1.0f, 0.0f};
    w = cross(n, r);
    u = cross(w, n);
    normalize(u);
    normalize(w);
}

void drawCircle(const Vec3& c, const Vec3& u, const Vec3& w) {
    glBegin(GL_LINE_STRIP);
    for (float a = 0.0f; a < 6.2831855f; a += 0.06283186f) {
        const double ca = fxmath::cos(double(a)), sa = fxmath::sin(double(a));
        vertex({float(double(u.x) * ca + c.x + double(w.x) * sa), float(double(u.y) * ca + c.y + double(w.y) * sa),
                float(double(u.z) * ca + c.z + double(w.z) * sa)});
    }
    vertex(sum(c, u));
    glEnd();
}

void drawSphere(const Vec3& c, float radius) {
    const Vec3 x{radius, 0.0f, 0.0f}, y{0.0f, radius, 0.0f}, z{0.0f, 0.0f, radius};
    drawCircle(c, x, y);
    drawCircle(c, y, z);
    drawCircle(c, z, x);
}

void drawAxes(const Vec3& o, const Vec3& x, const Vec3& y, const Vec3& z) {
    glBegin(GL_LINES);
    color(kRed);
    line(o, sum(o, x));
    color(kGreen);
    line(o, sum(o, y));
    color(kBlue);
    line(o, sum(o, z));
    glEnd();
}

void drawAxisLine(const Vec3& d, const Vec3& p) {
    Vec3 e = d;
    normalize(e);
    e = scaled(e, 100.0f);
    glBegin(GL_LINES);
    color(kRed);
    line(difference(p, e), sum(p, e));
    glEnd();
}

void drawArrow(const Vec3& a, const Vec3& b) {
    Vec3 D = difference(b, a);
    Vec3 U, W;
    perpendicularPair(D, U, W);
    const float len = float(std::sqrt(double(lengthSquared(D))));
    divide(D, len);
    const float L = len < 10.0f ? 10.0f : len;
    const float h = float(0.125 * L);
    const float r = float(0.06666667f * double(L));
    const Vec3 B = difference(b, scaled(D, h));
    const Vec3 rU = scaled(U, r), rW = scaled(W, r);
    color(kRed);
    glBegin(GL_LINES);
    line(B, a);
    line(b, difference(B, rU));
    line(b, sum(B, rU));
    line(b, difference(B, rW));
    line(b, sum(B, rW));
    glEnd();
    drawCircle(B, rU, rW);
}
