#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gizmo/gizmo.h"
#include "recording_gl.h"
#include "effect_harness.h"

namespace {
std::vector<Vec3> recorded(const char* op) {
    std::vector<Vec3> out;
    for (const GlCall& c : glCalls(op)) out.push_back({c.a, c.b, c.c});
    return out;
}

std::string ops() {  // "v" per vertex, the other calls by name
    std::string out;
    for (const GlCall& c : glLog()) out += c.op == "vertex" ? "v" : " " + c.op + " ";
    return out;
}

const Vec3 red{0.9f, 0.1f, 0.1f};
const std::string circle = " begin " + std::string(101, 'v') + " end ";
}  // namespace

TEST(Gizmo, PerpendicularPairUsesTheSmallestComponentsAxisEarliestOnTies) {
    struct Case { Vec3 n, u, w; };
    const Case cases[] = {
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
        {{2, -1, 0.5f}, {-0.19518001f, 0.09759001f, 0.97590007f}, {-0.4472136f, -0.8944272f, 0}},
        {{1, 1, 1}, {0.81649658f, -0.40824829f, -0.40824829f}, {0, 0.70710678f, -0.70710678f}},
        {{2, 1, -1}, {-0.36514837f, 0.91287093f, 0.18257419f}, {0.4472136f, 0, 0.8944272f}},
        {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        Vec3 u, w;
        perpendicularPair(c.n, u, w);
        EXPECT_TRUE(near(u, c.u) && near(w, c.w)) << c.n.x << " " << c.n.y << " " << c.n.z;
    }
}

TEST(Gizmo, CirclesAre101VerticesEndingWhereTheyStart) {
    clearGlLog();
    drawCircle({1, 2, 3}, {2, 0, 0}, {0, 3, 0});
    EXPECT_EQ(ops(), circle);
    EXPECT_EQ(glLog().front().mode, unsigned(GL_LINE_STRIP));
    std::vector<Vec3> v = recorded("vertex");
    EXPECT_TRUE(near(v[0], {3, 2, 3}) && near(v[25], {1, 5, 3}, 1e-4f) && near(v[50], {-1, 2, 3}, 1e-4f));
    EXPECT_TRUE(near(v[99], {2.9960537f, 1.8116346f, 3}, 1e-5f));  // at 99 float steps of 0.06283186
    EXPECT_TRUE(v[100].x == v[0].x && v[100].y == v[0].y && v[100].z == v[0].z);
    // A sphere: circles XY, YZ, ZX, each from its first axis towards its second, in the current colour.
    clearGlLog();
    drawSphere({1, 1, 1}, 2);
    EXPECT_EQ(ops(), circle + circle + circle);
    v = recorded("vertex");
    const Vec3 start[] = {{3, 1, 1}, {1, 3, 1}, {1, 1, 3}};
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(near(v[101 * i], start[i]) && near(v[101 * i + 25], start[(i + 1) % 3], 1e-4f)) << i;
}

TEST(Gizmo, AxesAndAxisLineDrawColouredLines) {
    clearGlLog();
    drawAxes({1, 2, 3}, {1, 0, 0}, {0, 2, 0}, {0, 0, 3});
    EXPECT_EQ(ops(), " begin  color vv color vv color vv end ");
    const std::vector<Vec3> v = recorded("vertex"), colours = recorded("color");
    const Vec3 want[] = {{1, 2, 3}, {2, 2, 3}, {1, 2, 3}, {1, 4, 3}, {1, 2, 3}, {1, 2, 6}};
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(near(v[i], want[i])) << i;
    EXPECT_TRUE(near(colours[0], red) && near(colours[1], {0.1f, 0.9f, 0.1f}) && near(colours[2], {0.1f, 0.1f, 0.9f}));
    // A red line 200 long through p, or a point when the direction is zero.
    for (const Vec3 d : {Vec3{0, 0, 2}, Vec3{0, 0, 0}}) {
        clearGlLog();
        drawAxisLine(d, {1, 1, 1});
        EXPECT_EQ(ops(), " begin  color vv end ");
        EXPECT_TRUE(near(recorded("color")[0], red));
        EXPECT_TRUE(near(recorded("vertex")[0], {1, 1, 1 - 50 * d.z}) && near(recorded("vertex")[1], {1, 1, 1 + 50 * d.z}));
    }
}

TEST(Gizmo, ArrowHeadIsAtLeast1Point25LongAndCollapsesForAZeroArrow) {
    struct Case { Vec3 a, b, base; float r; };
    const Case cases[] = {{{0, 0, 0}, {0, 0, 4}, {0, 0, 2.75f}, 0.6666667f},
                          {{0, 0, 0}, {0, 0, 20}, {0, 0, 17.5f}, 1.3333334f},
                          {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}, 0}};
    for (const Case& c : cases) {
        clearGlLog();
        drawArrow(c.a, c.b);
        EXPECT_EQ(ops(), " color  begin " + std::string(10, 'v') + " end " + circle);
        EXPECT_TRUE(near(recorded("color")[0], red));
        const Vec3 B = c.base, b = c.b;  // U = (1, 0, 0) and W = (0, 1, 0) for arrows along z
        const Vec3 want[] = {B, c.a, b, {B.x - c.r, B.y, B.z}, b, {B.x + c.r, B.y, B.z}, b, {B.x, B.y - c.r, B.z},
                             b, {B.x, B.y + c.r, B.z}, {B.x + c.r, B.y, B.z}};
        const std::vector<Vec3> v = recorded("vertex");
        for (int i = 0; i < 11; ++i) EXPECT_TRUE(near(v[i], want[i])) << i;
        EXPECT_TRUE(near(v[35], {B.x, B.y + c.r, B.z}, 1e-4f));
    }
}
