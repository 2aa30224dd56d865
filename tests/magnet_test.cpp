#include <cmath>

#include "effect_harness.h"

namespace {
// The point at `distance` from `centre` along (3, 4, 0) / 5.
Vec3 along(Vec3 centre, double distance) {
    return {float(centre.x + 0.6 * distance), float(centre.y + 0.8 * distance), centre.z};
}

[[maybe_unused]] const bool kExpected = expect<GenericMagnet>({
    .description = "Attracts or repulses points of current 3d objects.",
    .params = kDataFlags + Params{{"position [p3]", 0, 0, 0}, {"range [p3]", 0, 5, 0}, {"range multiply", 1},
                                  {"intensity [s]", 0.75f}},
    // 10 (1/4)^5.0515
    .frames = {{{}, {1.5f, 2, 0}, {0.0054552597f, 0.0072736796f, 0}, 2e-6, 1, {{"range multiply", 2}}}},
    .draws = true, .gizmo = nullptr,
    // On even rounds the lanes meet the surface too: a sphere of radius 5 about a whole-numbered centre, the
    // points 5 away along an axis exactly on it (q == radiusSquared), where the rule's t is 1.
    .agreement = {{"",
                   [](const RecordingParamHost& params, int round) {
                       if (round % 2) return;
                       const Vec3 c = params.point("position");
                       const Vec3 whole{std::round(c.x), std::round(c.y), std::round(c.z)};
                       params.setPoint("position", whole);
                       params.setPoint("range", {whole.x, whole.y + 5.0f, whole.z});
                       params["range multiply"] = 1.0f;
                   },
                   [](const FxEffect& fx) {
                       const float r = static_cast<const GenericMagnet&>(fx).rule.radius;
                       return std::vector<float>{r, -r, 0.5f * r};
                   }}},
});
}  // namespace

// Radius 5 |multiply| about (1, -2, 3): a point inside at distance d lands at
// radius (d / radius)^power, the power 0.01, 0.256, 1, 5.0515, 25 for intensity
// 0, 0.3, 0.5, 0.75, 1. On or beyond the surface, or at the centre, it stays;
// a negative multiply acts as its magnitude, 0 and NaN move nothing.
TEST(Magnet, PullsOrPushesInsideTheSphere) {
    const Vec3 c{1, -2, 3};
    const struct {
        float intensity, multiply;
        double from2_5, from1;
    } cases[] = {{0.75f, 1, 0.150765542, 0.00147261242}, {0, 1, 4.96546248, 4.92017222}, {0.5f, 1, 2.5, 1},
                 {1, 1, 1.49011612e-07, 1.6777216e-17},   {0.3f, 2, 7.01371501, 5.54785828},
                 {0.3f, -2, 7.01371501, 5.54785828},      {0.75f, 0, 2.5, 1},            {0.75f, kNaN, 2.5, 1}};
    for (const auto& k : cases) {
        Hosted<GenericMagnet> h({{"position [p3]", c.x, c.y, c.z}, {"range [p3]", 1, 3, 3},
                             {"intensity [s]", k.intensity}, {"range multiply", k.multiply}});
        h.fx->update(0.0f);
        const double radius = std::isnan(k.multiply) ? 0 : 5 * std::fabs(k.multiply);
        const std::vector<Vec3> in{along(c, 2.5), along(c, 1), c, along(c, radius), along(c, 11)}, out = h.move(in);
        EXPECT_TRUE(near(out[0], along(c, k.from2_5), 2e-6)) << k.intensity << " " << k.multiply;
        EXPECT_TRUE(near(out[1], along(c, k.from1), 2e-6)) << k.intensity << " " << k.multiply;
        for (int i = 2; i < 5; ++i) EXPECT_TRUE(near(out[i], in[i], 0)) << k.intensity << " " << k.multiply << " " << i;
    }
}

// The range alone moves nothing else; it follows the position in Handles.
TEST(Magnet, TheRangeSetsTheRadius) {
    Hosted<GenericMagnet> h({{"position [p3]", 1, 0, 0}});
    h.params.setPoint("range", {1, 0, 2});
    h.fx->update(0.0f);
    EXPECT_TRUE(near({h.params["position [p3x]"], h.fx->rule.radius, h.fx->rule.radiusSquared}, {1, 2, 4}, 0));
    for (float intensity : {kNaN, -1.0f}) {  // no power, or a negative one at the centre
        h.params["intensity [s]"] = intensity;
        h.fx->update(0.0f);
        EXPECT_TRUE(near(h.move({1, 0, 0}), {1, 0, 0}, 0)) << intensity;
    }
}

// Colours, then the first vertex of each sphere (XY circle from +x) and the
// range line; the scaled sphere only when "range multiply" is not 1.
TEST(Magnet, DrawsItsSpheresAndTheRangeLine) {
    for (float multiply : {1.0f, -2.0f}) {
        Hosted<GenericMagnet> h({{"position [p3]", 1, 0, 0}, {"range [p3]", 1, 5, 0}, {"range multiply", multiply}});
        h.fx->update(0.0f);
        clearGlLog();
        EXPECT_TRUE(h.fx->draw());
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
