#include <limits>

#include "effect_harness.h"
#include "effects/translate.h"

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
}

TEST(Translate, RegistersOriginAndTranslation) {
    Hosted<GenericTranslate> h;
    expectRegistered(h.params, {{"origin [p3x]", 0}, {"origin [p3y]", 0}, {"origin [p3z]", 0},
                                {"translation [p3x]", 0}, {"translation [p3y]", 10}, {"translation [p3z]", 0}});
    EXPECT_EQ(&h.params["translation [p3z]"], &h.fx.translation.z);
    EXPECT_STREQ(h.fx.description(), "Translates the points of 3d objects.");
    EXPECT_STREQ(h.fx.author(), "Brisel");
}

TEST(Translate, DefaultsMoveTenAlongY) {
    Hosted<GenericTranslate> h;
    EXPECT_TRUE(near(h.move({1, 2, 3}), {1, 12, 3}, 0));
}

TEST(Translate, TheOriginDragsTheTranslation) {
    Hosted<GenericTranslate> h;
    h.params.setPoint("origin", {5, 0, 0});
    h.fx.update(0.0f);
    EXPECT_TRUE(near(h.params.point("translation"), {5, 10, 0}, 0));
    h.fx.update(7.0f);  // unchanged origin, other time: nothing moves
    EXPECT_TRUE(near(h.params.point("translation"), {5, 10, 0}, 0));
    h.params.setPoint("origin", {9, 9, 9});
    h.params.setPoint("origin", {5, 0, 0});  // back where it was before the update
    h.fx.update(1.0f);
    EXPECT_TRUE(near(h.params.point("translation"), {5, 10, 0}, 0));
    EXPECT_TRUE(near(h.move({0, 0, 0}), {5, 10, 0}, 0));
}

TEST(Translate, NonFiniteValuesNeverReachTheData) {
    Hosted<GenericTranslate> h;
    h.params.setPoint("origin", {kNaN, 0, 0});  // a NaN origin re-anchors the handle
    h.fx.update(0.0f);
    h.params.setPoint("origin", {3, 0, 0});
    h.fx.update(0.0f);
    h.params.setPoint("origin", {4, 1, 0});
    h.fx.update(0.0f);
    EXPECT_TRUE(near(h.params.point("translation"), {1, 11, 0}, 0));
    h.params.setPoint("translation", {kNaN, 1, 0});
    EXPECT_TRUE(near(h.move({1, 2, 3}), {1, 2, 3}, 0));
}

TEST(Translate, DrawsTheArrowFromOriginToTranslation) {
    Hosted<GenericTranslate> h;
    h.params.setPoint("origin", {1, 2, 3});
    h.params.setPoint("translation", {1, 2, 13});
    clearGlLog();
    EXPECT_TRUE(h.fx.draw());
    // Length 10: head 1.25 long, radius 10/15, base at z = 11.75; x and y
    // span the head.
    const float r = 0.6666667f;
    const Vec3 tip{1, 2, 13}, base{1, 2, 11.75f};
    const Vec3 lines[] = {base, {1, 2, 3}, tip, {1 - r, 2, 11.75f}, tip, {1 + r, 2, 11.75f},
                          tip, {1, 2 - r, 11.75f}, tip, {1, 2 + r, 11.75f}, {1 + r, 2, 11.75f}};
    const std::vector<GlCall> v = glCalls("vertex");
    ASSERT_EQ(v.size(), 10u + 101u);
    for (int i = 0; i < 11; ++i) EXPECT_TRUE(near(vertexAt(v[i]), lines[i], 1e-6)) << i;
    const std::vector<GlCall> colours = glCalls("color");
    ASSERT_EQ(colours.size(), 1u);
    EXPECT_TRUE(near(vertexAt(colours[0]), {0.9f, 0.1f, 0.1f}, 0));
}

TEST(Translate, WorksThroughThePlugIn) {
    const PluginRun run = runThroughPlugin(5, {{{1, 2, 3}, 7u, 8u}}, [](RecordingParamHost& p) {
        p.setPoint("origin", {0, 0, -1});
    });
    EXPECT_EQ(run.name, "_GenericTranslate");
    EXPECT_TRUE(run.drawn);
    ASSERT_EQ(run.particles.size(), 1u);
    EXPECT_TRUE(near(run.particles[0].position, {1, 12, 2}, 0));
    EXPECT_EQ(run.particles[0].aux1, 8u);
}
