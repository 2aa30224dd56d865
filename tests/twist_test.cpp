#include <cmath>

#include <gtest/gtest.h>

#include "effects/twist.h"
#include "frame_rig.h"

TEST(Twist, TurnsPointsAboutItsAxisByHeight) {
    const float c5 = std::cos(0.5f), s5 = std::sin(0.5f);
    const struct { Edits edits; Vec3 p, want; } cases[] = {
        {{}, {1, 1, 0}, {c5, 1, s5}},  // half a radian per unit of height about world y
        {{}, {2, 0, 0}, {2, 0, 0}},    // height 0 stays
        {{}, {0, 2, 3}, {-3 * std::sin(1.0f), 2, 3 * std::cos(1.0f)}},
        {{{"frequency [s]", 0}}, {1, 1, 0}, {std::cos(6.0f), 1, -std::sin(6.0f)}},  // minus six radians
        {{{"rotate phase [s]", 1}}, {1, 1, 0}, {-c5, 1, -s5}},  // plus half a turn
        {{{"rotate phase [s]", 0}}, {1, 1, 0}, {-c5, 1, -s5}},  // minus half a turn
        // axis y along axis x: switching "orthogonal" on puts every axis, and every point, on the centre
        {{{"center [p3x]", 1}, {"axis x [p3x]", 1}, {"axis y [p3y]", 9}, {"axis y [p3x]", 1}}, {4, -5, 6}, {1, 0, 0}},
    };
    for (const auto& c : cases) expectNear(EffectRig<GenericTwist>(c.edits).startAndMove(c.p), c.want);
}

TEST(Twist, RunsOnTheWideCurveAndNeverStopsTwisting) {
    EffectRig<GenericTwist> rig({{"rotate speed [s]", 1}, {"frequency [s]", 0.5f}});
    expectNear(rig.startAndMove({2, 0, 0}, 0.3f), {-2, 0, 0});  // 5 turns per unit: 1.5 turns
    EXPECT_NEAR(rig.fx.rotation.accumulator, 0.5f, 1e-5f);
    EXPECT_EQ(rig.fx.twistRate, 0.00001f);
    EXPECT_EQ(rig.fx.enableScale, 1.0f);  // never registered, so always on
}
