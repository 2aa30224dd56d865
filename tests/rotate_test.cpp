#include <cmath>

#include "effect_harness.h"

namespace {
// p turned by the given turns about the vertical line through c (+y, right-handed).
Vec3 turnedAboutY(Vec3 p, Vec3 c, double turns) {
    const double a = 2 * M_PI * turns, x = p.x - c.x, z = p.z - c.z;
    return {float(c.x + x * std::cos(a) + z * std::sin(a)), p.y, float(c.z - x * std::sin(a) + z * std::cos(a))};
}

[[maybe_unused]] const bool kExpected = expect<GenericRotate>({
    .description = "Rotates the points of 3d objects.",
    .params = kDataFlags + kSpeedPhase + Params{{"center [p3]", 0, 0, 0}, {"axis [p3]", 0, 10, 0}},
    .frames = {{{}, {1, 0, 0}, {0, 0, -1}, 1e-4, 0.05f, {{"speed [s]", 1}}}},  // the wide curve: 5 turns per unit
    .draws = true, .gizmo = nullptr,
});
}  // namespace

TEST(Rotate, TurnsPointsFrameAfterFrame) {
    Hosted<GenericRotate> r;
    const Vec3 origin{0, 0, 0}, moved{1, 2, 3};
    const std::vector<Vec3> points = {{1, 2, 0}, {0, 7, 0}, {2, 5, 3}, {1, 7, 3}};
    struct Frame {
        float time, phase;
        Vec3 center;
        double turns;  // 0.1 turn per unit of time, plus the phase offset
    } const frames[] = {{0.5f, 0.5f, origin, 0.05}, {1.5f, 0.5f, origin, 0.15}, {1.5f, 0.5f, origin, 0.1500001},
                        {1, 0.5f, moved, 0.1500002}, {8, 1, moved, 1.3500002},   {12, 0, moved, -0.2499998}};
    for (int run = 0; run < 2; ++run) {  // a second start replays the same frames
        EXPECT_TRUE(r.fx->start(0));
        for (const Frame& f : frames) {
            r.params["phase [s]"] = f.phase;
            r.params.setPoint("center", f.center);
            r.fx->update(f.time);
            const std::vector<Vec3> got = r.move(points);
            for (size_t i = 0; i < points.size(); ++i)
                EXPECT_TRUE(near(got.at(i), turnedAboutY(points[i], f.center, f.turns), 1e-4)) << "t=" << f.time;
        }
    }
    EXPECT_TRUE(near(r.params.point("axis"), {1, 12, 3}, 1e-4));  // the axis end follows the centre
}

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
