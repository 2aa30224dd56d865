#include "hosted_effect.h"
#include "effects/magnet.h"

namespace {
// The power of an intensity: 0.01 + c (B^(2p) - 1), B the root other than 1
// of 0.99 B^2 - 24.99 B + 24 = 0 and c = 0.99 / (B - 1).
double power(double p) {
    const double A = 24.99, M = 0.99, B = (std::sqrt(A * A - 4 * M * (A - M)) + A) / (2 * M);
    return 0.01 + M / (B - 1) * (std::pow(B, 2 * p) - 1);
}

// The point at `distance` from `centre` along (3, 4, 0) / 5.
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
    EXPECT_NEAR(5 * std::pow(0.5, power(0.75)), 0.1508, 1e-4);  // the default pull from 2.5
    EXPECT_NEAR(5 * std::pow(0.5, power(0.0)), 4.9655, 1e-4);   // the weakest push from 2.5
}

// Radius 5 * multiply about (1, -2, 3): a point at normalised distance t
// inside lands at t^power; on or beyond the surface, or at the centre, it
// stays. A negative multiply acts as its magnitude; 0 and NaN move nothing.
TEST(Magnet, PullsOrPushesInsideTheSphere) {
    const Vec3 c{1, -2, 3};
    for (auto [intensity, multiply] : {std::pair{0.75f, 1.0f}, {0.0f, 1.0f}, {0.5f, 1.0f}, {1.0f, 1.0f},
                                       {0.3f, 2.0f}, {0.3f, -2.0f}, {0.75f, 0.0f}, {0.75f, kNaN}}) {
        Hosted<GenericMagnet> h;
        h.params.setPoint("position", c);
        h.fx.start(0);
        h.params.setPoint("range", {1, 3, 3});
        h.params["intensity [s]"] = intensity;
        h.params["range multiply"] = multiply;
        h.fx.update(0.0f);
        const double radius = std::isnan(multiply) ? 0 : 5 * std::fabs(multiply);  // NaN: no sphere
        const std::vector<Vec3> in{along(c, 2.5), along(c, 1), c, along(c, radius), along(c, 11)};
        const std::vector<Vec3> out = h.move(in);
        for (int i = 0; i < 2; ++i) {
            const double d = i ? 1 : 2.5;
            const Vec3 want = radius > 0 ? along(c, radius * std::pow(d / radius, power(intensity))) : in[i];
            EXPECT_TRUE(near(out[i], want, 2e-6)) << intensity << " " << multiply << " " << i;
        }
        for (int i = 2; i < 5; ++i) EXPECT_TRUE(near(out[i], in[i], 0)) << intensity << " " << multiply << " " << i;
    }
}

TEST(Magnet, TheRangeFollowsThePosition) {
    Hosted<GenericMagnet> h;
    h.params.setPoint("position", {1, 0, 0});
    h.fx.update(0.0f);
    EXPECT_TRUE(near(h.params.point("range"), {1, 5, 0}, 0));
    h.params.setPoint("range", {1, 0, 2});  // the range alone moves nothing else
    h.fx.update(0.0f);
    EXPECT_TRUE(near({h.fx.position.x, h.fx.radius, h.fx.radiusSquared}, {1, 2, 4}, 0));
    for (Vec3 p : {Vec3{kNaN, 0, 0}, {0, 0, 0}}) {
        h.params.setPoint("position", p);
        h.fx.update(0.0f);
    }
    EXPECT_TRUE(near(h.params.point("range"), {1, 0, 2}, 0));  // a NaN position re-anchors
    for (float intensity : {kNaN, -1.0f}) {  // no power, or a negative one at the centre
        h.params["intensity [s]"] = intensity;
        h.fx.update(0.0f);
        EXPECT_TRUE(near(h.move({0, 0, 0}), {0, 0, 0}, 0)) << intensity;
    }
}

// Colours, then the first vertex of each sphere (XY circle from +x) and the
// range line; the scaled sphere only when "range multiply" is not 1.
TEST(Magnet, DrawsItsSpheresAndTheRangeLine) {
    for (float multiply : {1.0f, -2.0f}) {
        Hosted<GenericMagnet> h;
        h.params.setPoint("position", {1, 0, 0});
        h.fx.start(0);
        h.params.setPoint("range", {1, 5, 0});
        h.params["range multiply"] = multiply;
        h.fx.update(0.0f);
        clearGlLog();
        EXPECT_TRUE(h.fx.draw());
        const std::vector<GlCall> c = glCalls("color"), v = glCalls("vertex");
        const bool scaled = multiply != 1;
        ASSERT_EQ(c.size(), scaled ? 3u : 2u);
        ASSERT_EQ(v.size(), scaled ? 3 * 2 * 101u + 2 : 3 * 101u + 2);
        std::vector<Vec3> got{xyz(c[0]), xyz(c.back()), xyz(v[0]), xyz(v[v.size() - 2]), xyz(v.back())};
        std::vector<Vec3> want{{0.9f, 0.8f, 0.1f}, {0.6f, 0.5f, 0.1f}, {6, 0, 0}, {1, 0, 0}, {1, 5, 0}};
        if (scaled) {  // the scaled sphere: its colour, and radius -10 starts at -x
            got.insert(got.end(), {xyz(c[1]), xyz(v[303])});
            want.insert(want.end(), {{0.4f, 0.6f, 0.1f}, {-9, 0, 0}});
        }
        for (size_t i = 0; i < want.size(); ++i) EXPECT_TRUE(near(got[i], want[i], 0)) << multiply << " " << i;
        EXPECT_EQ(glLog()[glLog().size() - 4].mode, 1u);  // GL_LINES
    }
}

TEST(Magnet, WorksThroughThePlugIn) {
    const PluginRun run = runThroughPlugin(2, {1.5f, 2, 0}, [](RecordingParamHost& p) { p["range multiply"] = 2; });
    EXPECT_EQ(run.name, "GenericMagnet");
    EXPECT_EQ(run.description, "Attracts or repulses points of current 3d objects.");
    EXPECT_TRUE(run.drawn);
    EXPECT_TRUE(near(run.moved.position, along({0, 0, 0}, 10 * std::pow(0.25, power(0.75))), 2e-6));
}
