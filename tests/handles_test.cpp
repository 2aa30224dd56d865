#include "effect_harness.h"
#include "scene/vec_math.h"

// Translate's origin, Magnet's position and Rotate's centre drag their
// follower by the same move; a move through NaN re-anchors the handle.
TEST(Handles, DragTheirFollowers) {
    const struct { int index; const char *handle, *follower; Vec3 start; } cases[] = {
        {kIndexOf<GenericTranslate>, "origin", "translation", {0, 10, 0}},
        {kIndexOf<GenericMagnet>, "position", "range", {0, 5, 0}},
        {kIndexOf<GenericRotate>, "center", "axis", {0, 10, 0}},
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
