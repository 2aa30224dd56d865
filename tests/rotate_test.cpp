#include <cmath>

#include <gtest/gtest.h>

#include "effect_checks.h"
#include "effects/rotate.h"
#include "plugin/exports.h"
#include "plugin_loader.h"
#include "recording_gl.h"

namespace {
struct Rotate {
    RecordingParamHost params;
    GenericRotate* e = static_cast<GenericRotate*>(fx_create(8, nullptr));
    Rotate() { e->registerParams(&params); e->init(0, 0); e->start(0); }
    ~Rotate() { fx_delete(e); }
};

// p turned by the given turns about the vertical line through c (+y, right-handed).
Vec3 turnedAboutY(Vec3 p, Vec3 c, double turns) {
    const double a = 2 * M_PI * turns, x = p.x - c.x, z = p.z - c.z;
    return {float(c.x + x * std::cos(a) + z * std::sin(a)), p.y, float(c.z - x * std::sin(a) + z * std::cos(a))};
}
}  // namespace

TEST(Rotate, RegistersItsParametersAndTexts) {
    Rotate r;
    expectRegistered(r.params, {{"on mesh [b]", 1}, {"on spline [b]", 1}, {"on particles [b]", 1}, {"speed [s]", 0.75f},
                                {"phase [s]", 0.5f}, {"center [p3x]", 0}, {"center [p3y]", 0}, {"center [p3z]", 0},
                                {"axis [p3x]", 0}, {"axis [p3y]", 10}, {"axis [p3z]", 0}});
    EXPECT_EQ(r.params.calls[3].value, &r.e->spin.speed);
    EXPECT_STREQ(r.e->description(), "Rotates the points of 3d objects.");
    EXPECT_STREQ(r.e->author(), "Brisel");
}

TEST(Rotate, TurnsPointsFrameAfterFrame) {
    Rotate r;
    const Vec3 origin{0, 0, 0}, moved{1, 2, 3};
    const std::vector<Vec3> points = {{1, 2, 0}, {0, 7, 0}, {2, 5, 3}, {1, 7, 3}};
    struct Frame {
        float time, phase;
        Vec3 center;
        double turns;  // 0.1 turn per unit of time, plus the phase offset
    } const frames[] = {{0.5f, 0.5f, origin, 0.05}, {1.5f, 0.5f, origin, 0.15}, {1.5f, 0.5f, origin, 0.1500001},
                        {1, 0.5f, moved, 0.1500002}, {8, 1, moved, 1.3500002},   {12, 0, moved, -0.2499998}};
    for (int run = 0; run < 2; ++run) {  // a second start replays the same frames
        EXPECT_TRUE(r.e->start(0));
        for (const Frame& f : frames) {
            r.params["phase [s]"] = f.phase;
            r.params.setPoint("center", f.center);
            r.e->update(f.time);
            const std::vector<Vec3> got = processParticles(r.e, points);
            for (size_t i = 0; i < points.size(); ++i)
                expectNear(got.at(i), turnedAboutY(points[i], f.center, f.turns), "t=" + std::to_string(f.time));
        }
    }
    expectNear(r.params.point("axis"), {1, 12, 3}, "the axis end follows the centre");
}

TEST(Rotate, GizmoShowsTheTurnedFrameAndTheAxis) {
    Rotate r;
    r.params.setPoint("center", {1, 2, 3});
    r.params.setPoint("axis", {1, 12, 3});
    r.params["phase [s]"] = 0.75f;  // a quarter turn
    const Vec3 quarter[] = {{1, 2, 3}, {1, 3, 3}, {1, 2, 3}, {1, 2, -7}, {1, 2, 3}, {-9, 2, 3}, {1, -98, 3}, {1, 102, 3}};
    const Vec3 c{1, 2, 3}, still[] = {c, c, c, c, c, c, c, c};
    for (const Vec3* want : {quarter, still}) {
        clearGlLog();
        EXPECT_TRUE(r.e->draw());
        std::string ops;
        for (const GlCall& c : glLog()) ops += c.op[0];
        EXPECT_EQ(ops, "bcvvcvvcvvebcvve");
        const std::vector<GlCall> v = glCalls("vertex");
        for (size_t i = 0; i < 8; ++i) expectNear({v.at(i).a, v[i].b, v[i].c}, want[i], "vertex " + std::to_string(i));
        r.params.setPoint("axis", {1, 2, 3});  // no direction: every stroke collapses, points stay
    }
    const std::vector<Vec3> points = {{1, 2, 4}, {-4, 0, 0.5f}};
    const std::vector<Vec3> got = processParticles(r.e, points);
    for (size_t i = 0; i < points.size(); ++i) EXPECT_TRUE(sameBits(got.at(i), points[i])) << i;
}

// At full speed the wide curve, switched on by init, gives 5 turns per unit of time.
TEST(Rotate, RunsThroughTheBuiltPlugin) {
    PluginLoader plugin;
    char name[32];
    FxEffect* e = plugin.create(8, name);
    EXPECT_STREQ(name, "_GenericRotate");
    RecordingParamHost params;
    e->registerParams(&params); e->init(0, 0); e->start(0);
    params["speed [s]"] = 1;
    e->update(0.05f);
    expectNear(processParticles(e, {{1, 0, 0}}).at(0), {0, 0, -1}, "a quarter turn");
    EXPECT_TRUE(e->draw());
    plugin.destroy(e);
}
