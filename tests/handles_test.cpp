#include "effect_harness.h"
#include "scene/vec_math.h"

// Translate's origin, Magnet's position and Rotate's centre drag their
// follower by the same move; a move through NaN re-anchors the handle.
TEST(Handles, DragTheirFollowers) {
    const struct { int index; const char *handle, *follower; Vec3 start; } cases[] = {
        {kTranslate, "origin", "translation", {0, 10, 0}},
        {kMagnet, "position", "range", {0, 5, 0}},
        {kRotate, "center", "axis", {0, 10, 0}},
    };
    for (const auto& c : cases) {
        Hosted<> h(c.index);
        const auto moveHandle = [&](Vec3 to, float time) {
            h.params.setPoint(c.handle, to);
            h.fx->update(time);
        };
        const auto followerMovedBy = [&](Vec3 by) { return near(h.params.point(c.follower), sum(c.start, by), 0); };
        moveHandle({5, 0, 0}, 1);
        EXPECT_TRUE(followerMovedBy({5, 0, 0})) << c.handle;
        moveHandle({5, 0, 0}, 7);  // unchanged handle, other time
        h.params.setPoint(c.handle, {9, 9, 9});
        moveHandle({5, 0, 0}, 8);  // back before the update
        EXPECT_TRUE(followerMovedBy({5, 0, 0})) << c.handle;
        for (Vec3 to : {Vec3{kNaN, 0, 0}, {3, 0, 0}, {4, 1, 0}}) moveHandle(to, 9);
        EXPECT_TRUE(followerMovedBy({6, 1, 0})) << c.handle;
    }
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
