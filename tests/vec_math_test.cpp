#include <cmath>
#include <numbers>

#include "effect_harness.h"
#include "scene/vec_math.h"

TEST(Vec3Math, NormalizeAndDivideGuardExactZero) {
    Vec3 zero{0, 0, 0}, v{3, 0, 4}, tiny{1e-30f, 0, 0}, w{1, 2, 3};
    EXPECT_TRUE(near(normalize(zero), {0, 0, 0}, 0));
    EXPECT_TRUE(near(normalize(v), {0.6f, 0, 0.8f}, 0));
    EXPECT_TRUE(near(normalize(tiny), {1e-30f, 0, 0}, 0));  // its squared length rounds to a float zero
    divide(w, 0.0f);
    EXPECT_TRUE(near(w, {1, 2, 3}, 0));
    divide(w, 2.0f);
    EXPECT_TRUE(near(w, {0.5f, 1, 1.5f}, 0));
    Mat4 m;
    fill(m, 3.0f);
    divide(m, 0.0f);
    for (float e : m.m) EXPECT_EQ(e, 3.0f);
    divide(m, -3.0f);
    for (float e : m.m) EXPECT_EQ(e, -1.0f);
}

// Points are row vectors: x' = ((p.y m4 + p.x m0) + p.z m8) + m12, each
// partial sum rounded to a float. 2^24 + 1 rounds back to 2^24 twice here;
// summed once in double the x component would be 2^24 + 2. A third of a turn
// about the diagonal, counter-clockwise seen from its end, takes x to y, y to
// z and z to x: every off-diagonal term of the matrix, and its sign, is in play.
TEST(Mat4Math, TransformPointRowsRoundingOrderAndATurnAboutTheDiagonal) {
    Mat4 m;
    fill(m, 0.0f);
    m.m[0] = 1, m.m[4] = 16777216, m.m[8] = 1;
    m.m[5] = 1, m.m[13] = 0.5f;
    m.m[10] = 2, m.m[14] = -1, m.m[15] = 1;
    EXPECT_TRUE(near(transformPoint(m, {1, 1, 1}), {16777216, 1.5f, 1}, 0));
    const float s = float(1 / std::sqrt(3.0));
    rotationAboutAxis(m, {s, s, s}, float(2 * std::numbers::pi / 3));
    EXPECT_TRUE(near(transformPoint(m, {1, 0, 0}), {0, 1, 0}, 1e-6));
    EXPECT_TRUE(near(transformPoint(m, {0, 1, 0}), {0, 0, 1}, 1e-6));
    EXPECT_TRUE(near(transformPoint(m, {0, 0, 2}), {2, 0, 0}, 2e-6));
}

TEST(QuatMath, HamiltonProduct) {
    const struct { Quat a, b, ab; } cases[] = {
        {{0, 0, 0, 1}, {0.5f, -1, 2, 3}, {0.5f, -1, 2, 3}},  // identity on the left
        {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}},          // i j = k
        {{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, -1, 0}},         // j i = -k
        {{1, 2, 3, 4}, {5, 6, 7, 8}, {24, 48, 48, -6}},
    };
    for (const auto& c : cases) {
        const Quat q = multiply(c.a, c.b);
        EXPECT_TRUE(q.x == c.ab.x && q.y == c.ab.y && q.z == c.ab.z && q.w == c.ab.w)
            << q.x << " " << q.y << " " << q.z << " " << q.w;
    }
}

TEST(AxisFrameMath, PlaceAtRadiusAndOrthogonalize) {
    Vec3 p{0, 0, 10}, q{7, 2, 7}, onCentre{1, 2, 3}, v{0, 3, 4}, parallel{0, 0, -2};
    placeAtRadius(p, {0, 0, 0});
    EXPECT_TRUE(near(p, {0, 0, 5}, 0));
    placeAtRadius(q, {1, 2, -1});
    EXPECT_TRUE(near(q, {4, 2, 3}, 1e-6));
    placeAtRadius(onCentre, {1, 2, 3});
    EXPECT_TRUE(near(onCentre, {1, 2, 3}, 0));
    orthogonalize(v, {0, 0, 1});  // keeps its length 5
    EXPECT_TRUE(near(v, {0, 5, 0}, 0));
    orthogonalize(parallel, {0, 0, 1});
    EXPECT_TRUE(near(parallel, {0, 0, 0}, 0));
}
