#include <cmath>
#include <limits>

#include "effect_harness.h"
#include "effects/magnet.h"

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The power of an intensity: 0.01 + c (B^(2p) - 1), B the root other than 1
// of 0.99 B^2 - 24.99 B + 24 = 0 and c = 0.99 / (B - 1).
double power(double p) {
    const double A = 24.99, M = 0.99, B = (std::sqrt(A * A - 4 * M * (A - M)) + A) / (2 * M);
    return 0.01 + M / (B - 1) * (std::pow(B, 2 * p) - 1);
}

// Sphere of radius 5 about `centre`: a point 2.5 away along (3, 4, 0) / 5.
Vec3 along(Vec3 centre, double distance) {
    return {float(centre.x + 0.6 * distance), float(centre.y + 0.8 * distance), centre.z};
}
}  // namespace

TEST(Magnet, RegistersRangeMultiplyUnderItsBareName) {
    Hosted<GenericMagnet> h;
    expectRegistered(h.params, {{"position [p3x]", 0}, {"position [p3y]", 0}, {"position [p3z]", 0},
                                {"range [p3x]", 0}, {"range [p3y]", 5}, {"range [p3z]", 0},
                                {"range multiply", 1}, {"intensity [s]", 0.75f}});
    EXPECT_EQ(&h.params["range multiply"], &h.fx.rangeMultiply);
    EXPECT_EQ(&h.params["intensity [s]"], &h.fx.intensity);
    EXPECT_STREQ(h.fx.description(), "Attracts or repulses points of current 3d objects.");
    EXPECT_STREQ(h.fx.author(), "Brisel");
}

// Inside the sphere a point at normalised distance t lands at t^power.
TEST(Magnet, PullsOrPushesInsideTheSphere) {
    for (float intensity : {0.75f, 0.0f, 0.5f, 1.0f, 0.3f}) {
        Hosted<GenericMagnet> h;
        h.params.setPoint("position", {1, -2, 3});
        h.fx.start(0);
        h.params.setPoint("range", {1, 3, 3});
        h.params["intensity [s]"] = intensity;
        h.fx.update(0.0f);
        const Vec3 c{1, -2, 3};
        const std::vector<Vec3> in{along(c, 2.5), along(c, 1), c, along(c, 5), along(c, 7)};
        const std::vector<Vec3> out = h.move(in);
        EXPECT_TRUE(near(out[0], along(c, 5 * std::pow(0.5, power(intensity))), 2e-6)) << intensity;
        EXPECT_TRUE(near(out[1], along(c, 5 * std::pow(0.2, power(intensity))), 2e-6)) << intensity;
        for (int i = 2; i < 5; ++i) EXPECT_TRUE(near(out[i], in[i], 0)) << intensity << " " << i;
    }
    EXPECT_NEAR(5 * std::pow(0.5, power(0.75)), 0.1508, 1e-4);  // the default pull
    EXPECT_NEAR(5 * std::pow(0.5, power(0.0)), 4.9655, 1e-4);   // the weakest push
}

TEST(Magnet, TheRangeFollowsThePosition) {
    Hosted<GenericMagnet> h;
    h.params.setPoint("position", {1, 0, 0});
    h.fx.update(0.0f);
    EXPECT_TRUE(near(h.params.point("range"), {1, 5, 0}, 0));
    h.params.setPoint("range", {1, 0, 2});  // the range alone moves nothing else
    h.fx.update(0.0f);
    EXPECT_TRUE(near(h.fx.position, {1, 0, 0}, 0));
    EXPECT_EQ(h.fx.radius, 2.0f);
    h.params.setPoint("position", {kNaN, 0, 0});  // a NaN position re-anchors
    h.fx.update(0.0f);
    h.params.setPoint("position", {0, 0, 0});
    h.fx.update(0.0f);
    EXPECT_TRUE(near(h.params.point("range"), {1, 0, 2}, 0));
}

// "range multiply" scales the radius; a negative one acts as its magnitude.
TEST(Magnet, RangeMultiplyScalesTheSphere) {
    for (auto [multiply, radius] : {std::pair{2.0f, 10.0f}, {-2.0f, -10.0f}, {0.0f, 0.0f}, {kNaN, kNaN}}) {
        Hosted<GenericMagnet> h;
        h.params["range multiply"] = multiply;
        h.fx.update(0.0f);
        EXPECT_TRUE(std::isnan(radius) ? std::isnan(h.fx.radius) : h.fx.radius == radius);
        const Vec3 in = along({0, 0, 0}, 7), out = h.move(in);
        const Vec3 want = multiply == 0 || multiply != multiply ? in : along({0, 0, 0}, 10 * std::pow(0.7, power(0.75)));
        EXPECT_TRUE(near(out, want, 2e-6)) << multiply;
    }
}

TEST(Magnet, NothingMovesWithoutARadiusOrAPower) {
    Hosted<GenericMagnet> h;
    h.params.setPoint("range", {0, 0, 0});
    h.fx.update(0.0f);
    EXPECT_TRUE(near(h.move({0.5f, 0, 0}), {0.5f, 0, 0}, 0));
    h.params.setPoint("range", {0, 5, 0});
    for (float intensity : {kNaN, -1.0f}) {  // no power, or a negative one at the centre
        h.params["intensity [s]"] = intensity;
        h.fx.update(0.0f);
        EXPECT_TRUE(near(h.move({0, 0, 0}), {0, 0, 0}, 0)) << intensity;
    }
}

// Default sphere, and the scaled one only when "range multiply" is not 1.
TEST(Magnet, DrawsItsSpheresAndTheRangeLine) {
    for (float multiply : {1.0f, 2.0f, -2.0f}) {
        Hosted<GenericMagnet> h;
        h.params.setPoint("position", {1, 0, 0});
        h.fx.start(0);
        h.params.setPoint("range", {1, 5, 0});
        h.params["range multiply"] = multiply;
        h.fx.update(0.0f);
        clearGlLog();
        EXPECT_TRUE(h.fx.draw());
        const std::vector<GlCall> colours = glCalls("color"), v = glCalls("vertex");
        const bool scaled = multiply != 1.0f;
        ASSERT_EQ(colours.size(), scaled ? 3u : 2u);
        ASSERT_EQ(v.size(), (scaled ? 606u : 303u) + 2u);
        EXPECT_TRUE(near(vertexAt(colours[0]), {0.9f, 0.8f, 0.1f}, 0));
        EXPECT_TRUE(near(vertexAt(v[0]), {6, 0, 0}, 0));  // first circle starts at +x
        if (scaled) {
            EXPECT_TRUE(near(vertexAt(colours[1]), {0.4f, 0.6f, 0.1f}, 0));
            EXPECT_TRUE(near(vertexAt(v[303]), {1 + 5 * multiply, 0, 0}, 0));
        }
        EXPECT_TRUE(near(vertexAt(colours.back()), {0.6f, 0.5f, 0.1f}, 0));
        EXPECT_TRUE(near(vertexAt(v[v.size() - 2]), {1, 0, 0}, 0));
        EXPECT_TRUE(near(vertexAt(v.back()), {1, 5, 0}, 0));
        EXPECT_EQ(glLog()[glLog().size() - 4].mode, 1u);  // GL_LINES
    }
}

TEST(Magnet, WorksThroughThePlugIn) {
    const PluginRun run = runThroughPlugin(2, {{{1.5f, 2, 0}, 7u, 8u}, {{0, 11, 0}, 1u, 2u}},
                                           [](RecordingParamHost& p) { p["range multiply"] = 2; });
    EXPECT_EQ(run.name, "GenericMagnet");
    EXPECT_TRUE(run.drawn);
    ASSERT_EQ(run.particles.size(), 2u);
    EXPECT_TRUE(near(run.particles[0].position, along({0, 0, 0}, 10 * std::pow(0.25, power(0.75))), 2e-6));
    EXPECT_TRUE(near(run.particles[1].position, {0, 11, 0}, 0));  // outside radius 10
    EXPECT_EQ(run.particles[0].aux0, 7u);
}
