#include "hosted_effect.h"
#include "effects/translate.h"

TEST(Translate, RegistersItsPointsAndTexts) {
    Hosted<GenericTranslate> h;
    expectRegistered(h.params, {{"origin [p3x]", 0}, {"origin [p3y]", 0}, {"origin [p3z]", 0},
                                {"translation [p3x]", 0}, {"translation [p3y]", 10}, {"translation [p3z]", 0}});
    EXPECT_EQ(&h.params["translation [p3z]"], &h.fx.translation.z);
    EXPECT_TRUE(near(h.move({1, 2, 3}), {1, 12, 3}, 0));
}

TEST(Translate, TheOriginDragsTheTranslation) {
    Hosted<GenericTranslate> h;
    auto moveOrigin = [&](Vec3 to, float time) {
        h.params.setPoint("origin", to);
        h.fx.update(time);
    };
    moveOrigin({5, 0, 0}, 0);
    EXPECT_TRUE(near(h.params.point("translation"), {5, 10, 0}, 0));
    moveOrigin({5, 0, 0}, 7);  // unchanged origin, other time
    h.params.setPoint("origin", {9, 9, 9});
    moveOrigin({5, 0, 0}, 1);  // back before the update
    EXPECT_TRUE(near(h.params.point("translation"), {5, 10, 0}, 0));
    EXPECT_TRUE(near(h.move({0, 0, 0}), {5, 10, 0}, 0));
    // A NaN origin re-anchors the handle instead of dragging.
    for (Vec3 o : {Vec3{kNaN, 0, 0}, {3, 0, 0}, {4, 1, 0}}) moveOrigin(o, 0);
    EXPECT_TRUE(near(h.params.point("translation"), {6, 11, 0}, 0));
    h.params.setPoint("translation", {kNaN, 1, 0});
    EXPECT_TRUE(near(h.move({1, 2, 3}), {1, 2, 3}, 0));
}

TEST(Translate, DrawsTheArrowFromOriginToTranslation) {
    Hosted<GenericTranslate> h;
    h.params.setPoint("origin", {1, 2, 3});
    h.params.setPoint("translation", {1, 2, 13});
    clearGlLog();
    EXPECT_TRUE(h.fx.draw());
    // Length 10: head 1.25 long with radius 10/15, its base at z = 11.75.
    const std::vector<GlCall> v = glCalls("vertex");
    ASSERT_EQ(v.size(), 10u + 101u);
    const Vec3 want[] = {{1, 2, 11.75f}, {1, 2, 3}, {1, 2, 13}, {1 - 0.6666667f, 2, 11.75f}};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(near(xyz(v[i]), want[i], 1e-6)) << i;
    EXPECT_TRUE(near(xyz(glCalls("color").at(0)), {0.9f, 0.1f, 0.1f}, 0));
}

TEST(Translate, WorksThroughThePlugIn) {
    const PluginRun run = runThroughPlugin(5, {1, 2, 3}, [](RecordingParamHost& p) { p.setPoint("origin", {0, 0, -1}); });
    EXPECT_EQ(run.name, "_GenericTranslate");
    EXPECT_EQ(run.description, "Translates the points of 3d objects.");
    EXPECT_TRUE(run.drawn);
    EXPECT_TRUE(near(run.moved.position, {1, 12, 2}, 0));
}
