#include "effect_harness.h"

TEST(Translate, TheOriginDragsTheTranslation) {
    Hosted<> h(kTranslate);
    const auto moveOrigin = [&](Vec3 to, float time) {
        h.params.setPoint("origin", to);
        h.fx->update(time);
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
}

TEST(Translate, DrawsTheArrowFromOriginToTranslation) {
    Hosted<> h(kTranslate, {{"origin [p3]", 1, 2, 3}, {"translation [p3]", 1, 2, 13}});
    clearGlLog();
    EXPECT_TRUE(h.fx->draw());
    // Length 10: head 1.25 long with radius 10/15, its base at z = 11.75.
    const std::vector<GlCall> v = glCalls("vertex");
    ASSERT_EQ(v.size(), 10u + 101u);
    const Vec3 want[] = {{1, 2, 11.75f}, {1, 2, 3}, {1, 2, 13}, {1 - 0.6666667f, 2, 11.75f}};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(near(xyz(v[i]), want[i], 1e-6)) << i;
    EXPECT_TRUE(near(xyz(glCalls("color").at(0)), {0.9f, 0.1f, 0.1f}, 0));
}
