#include "effect_harness.h"

namespace {
[[maybe_unused]] const bool kExpected = expect<GenericRotate>({
    .description = "Rotates the points of 3d objects.",
    .params = kDataFlags + kSpeedPhase + Params{{"center [p3]", 0, 0, 0}, {"axis [p3]", 0, 10, 0}},
    .frames = {{{}, {1, 0, 0}, {0, 0, -1}, 1e-4, 0.05f, {{"speed [s]", 1}}}},  // the wide curve: 5 turns per unit
    .draws = true, .gizmo = nullptr,
});
}  // namespace

TEST(Rotate, GizmoShowsTheTurnedFrameAndTheAxis) {
    Hosted<GenericRotate> r({{"center [p3]", 1, 2, 3}, {"axis [p3]", 1, 12, 3}, {"phase [s]", 0.75f}});  // a quarter turn
    const Vec3 quarter[] = {{1, 2, 3}, {1, 3, 3}, {1, 2, 3}, {1, 2, -7}, {1, 2, 3}, {-9, 2, 3}, {1, -98, 3}, {1, 102, 3}};
    const Vec3 c{1, 2, 3}, still[] = {c, c, c, c, c, c, c, c};
    for (const Vec3* want : {quarter, still}) {
        clearGlLog();
        EXPECT_TRUE(r.fx->draw());
        std::string ops;
        for (const GlCall& call : glLog()) ops += call.op[0];
        EXPECT_EQ(ops, "bcvvcvvcvvebcvve");
        const std::vector<GlCall> v = glCalls("vertex");
        for (size_t i = 0; i < 8; ++i) EXPECT_TRUE(near(xyz(v.at(i)), want[i], 1e-4)) << "vertex " << i;
        r.params.setPoint("axis", {1, 2, 3});  // no direction: every stroke collapses, points stay
    }
    const std::vector<Vec3> points = {{1, 2, 4}, {-4, 0, 0.5f}}, got = r.move(points);
    for (size_t i = 0; i < points.size(); ++i) EXPECT_TRUE(near(got.at(i), points[i], 0)) << i;
}
