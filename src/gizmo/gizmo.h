// Immediate-mode line primitives with which effects show where they act.
// Only drawAxes, drawAxisLine and drawArrow set colours; the others draw in
// the current one.
#pragma once

#include "fx/abi.h"

constexpr Vec3 kRed{0.9f, 0.1f, 0.1f};
constexpr Vec3 kGreen{0.1f, 0.9f, 0.1f};
constexpr Vec3 kBlue{0.1f, 0.1f, 0.9f};

// Two unit vectors perpendicular to n (and to each other when n is a unit).
void perpendicularPair(const Vec3& n, Vec3& u, Vec3& w);
// c + u cos a + w sin a: 100 segments, 101 vertices.
void drawCircle(const Vec3& c, const Vec3& u, const Vec3& w);
// Three great circles about c.
void drawSphere(const Vec3& c, float radius);
// Lines from o along x, y, z in red, green, blue.
void drawAxes(const Vec3& o, const Vec3& x, const Vec3& y, const Vec3& z);
// A red line through p along d, 200 long.
void drawAxisLine(const Vec3& d, const Vec3& p);
// A red arrow from a to b, with a four-line head and a ring at its base.
void drawArrow(const Vec3& a, const Vec3& b);
