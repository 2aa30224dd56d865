// The gizmo primitives on their own. drawAxes and drawAxisLine are checked in
// the gizmos of Twist, Cosine and Rotate, which are nothing else.
#include "scene/gl.h"

#include "effect_harness.h"
#include "gizmo/gizmo.h"

namespace {
std::vector<Vec3> vertices() {
    std::vector<Vec3> out;
    for (const GlCall& c : glCalls("vertex")) out.push_back(xyz(c));
    return out;
}

std::string ops() {  // "v" per vertex, the other calls by name
    std::string out;
    for (const GlCall& c : glLog()) out += c.op == "vertex" ? "v" : " " + c.op + " ";
    return out;
}

const std::string circle = " begin " + std::string(101, 'v') + " end ";
}  // namespace

TEST(Gizmo, PerpendicularPairUsesTheSmallestComponentsAxisEarliestOnTies) {
    const struct { Vec3 n, u, w; } cases[] = {
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
        {{2, -1, 0.5f}, {-0.19518001f, 0.09759001f, 0.97590007f}, {-0.4472136f, -0.8944272f, 0}},
        {{1, 1, 1}, {0.81649658f, -0.40824829f, -0.40824829f}, {0, 0.70710678f, -0.70710678f}},
        {{2, 1, -1}, {-0.36514837f, 0.91287093f, 0.18257419f}, {0.4472136f, 0, 0.8944272f}},
        {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
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
    std::vector<Vec3> v = vertices();
    EXPECT_TRUE(near(v[0], {3, 2, 3}) && near(v[25], {1, 5, 3}, 1e-4) && near(v[50], {-1, 2, 3}, 1e-4));
    EXPECT_TRUE(near(v[99], {2.9960537f, 1.8116346f, 3}, 1e-6));  // at 99 float steps of 0.06283186
    EXPECT_TRUE(near(v[100], v[0], 0));
    // A sphere: circles XY, YZ, ZX, each from its first axis towards its second, in the current colour.
    clearGlLog();
    drawSphere({1, 1, 1}, 2);
    EXPECT_EQ(ops(), circle + circle + circle);
    v = vertices();
    const Vec3 start[] = {{3, 1, 1}, {1, 3, 1}, {1, 1, 3}};
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(near(v[101 * i], start[i]) && near(v[101 * i + 25], start[(i + 1) % 3], 1e-4)) << i;
}

// Translate's arrow runs from its origin to its translation. Along z the
// head's U is (1, 0, 0) and its W (0, 1, 0).
TEST(Gizmo, ArrowHeadIsAtLeast1Point25LongAndCollapsesForAZeroArrow) {
    const struct { Vec3 a, b, base; float r; } cases[] = {{{1, 2, 3}, {1, 2, 7}, {1, 2, 5.75f}, 0.6666667f},
                                                          {{0, 0, 0}, {0, 0, 20}, {0, 0, 17.5f}, 1.3333334f},
                                                          {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}, 0}};
    for (const auto& c : cases) {
        Hosted<GenericTranslate> h({{"origin [p3]", c.a.x, c.a.y, c.a.z}, {"translation [p3]", c.b.x, c.b.y, c.b.z}});
        clearGlLog();
        EXPECT_TRUE(h.fx->draw());
        EXPECT_EQ(ops(), " color  begin " + std::string(10, 'v') + " end " + circle);
        EXPECT_TRUE(near(xyz(glCalls("color")[0]), {0.9f, 0.1f, 0.1f}, 0));
        const Vec3 B = c.base, b = c.b;
        const Vec3 want[] = {B, c.a, b, {B.x - c.r, B.y, B.z}, b, {B.x + c.r, B.y, B.z}, b, {B.x, B.y - c.r, B.z},
                             b, {B.x, B.y + c.r, B.z}, {B.x + c.r, B.y, B.z}};
        const std::vector<Vec3> v = vertices();
        for (int i = 0; i < 11; ++i) EXPECT_TRUE(near(v[i], want[i], 1e-6)) << i;
        EXPECT_TRUE(near(v[35], {B.x, B.y + c.r, B.z}, 1e-4));
    }
}
