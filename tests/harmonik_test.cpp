#include <cmath>

#include <gtest/gtest.h>

#include "effect_checks.h"
#include "effects/harmonik.h"
#include "plugin/exports.h"
#include "plugin_loader.h"
#include "recording_gl.h"

namespace {
struct Harmonik {
    RecordingParamHost params;
    GenericHarmonik* e = static_cast<GenericHarmonik*>(fx_create(0, nullptr));
    Harmonik() { e->registerParams(&params); e->start(0); }
    ~Harmonik() { fx_delete(e); }
};

// With both angle frequencies at 5: the scale of a point seen from the
// centre at (azimuth, polar), for the wave at the given turns.
double scaleAt(double azimuth, double polar, double turns, double trough, double crest, double gain) {
    double f = (std::sin(2 * M_PI * turns + 5 * polar + 5 * azimuth) + 1) / 2;
    f += gain * (std::sin(5 * azimuth) + std::sin(5 * polar) + 1) / 2;
    return trough + (crest - trough) * f;
}
}  // namespace

TEST(Harmonik, RegistersItsParametersAndTexts) {
    Harmonik h;
    expectRegistered(h.params, {{"on mesh [b]", 1}, {"on spline [b]", 1}, {"on particles [b]", 1},
                                {"intensity [s]", 0.6f}, {"speed [s]", 0.75f}, {"phase [s]", 0.5f}, {"angle teta", 0.5f},
                                {"angle phi", 0.5f}, {"extremizer", 0}, {"center [p3x]", 0}, {"center [p3y]", 0},
                                {"center [p3z]", 0}});
    EXPECT_EQ(h.params.calls[6].value, &h.e->angleTeta);
    EXPECT_STREQ(h.e->description(), "Deforms points of current 3d objects in a spherical harmonikal way.");
    EXPECT_STREQ(h.e->author(), "Brisel");
    clearGlLog();
    EXPECT_FALSE(h.e->draw());
    EXPECT_TRUE(glLog().empty());
}

TEST(Harmonik, ScalesPointsFrameAfterFrame) {
    Harmonik h;
    const std::vector<Vec3> points = {{0, 2, 0}, {3, 0, 0}, {0, 0, 4}, {1, 0, -1}, {0, -2, 0}};
    const double azimuth[] = {0, 0, M_PI / 2, -M_PI / 4, 0}, polar[] = {0, M_PI / 2, M_PI / 2, M_PI / 2, M_PI};
    struct Frame {
        float time, intensity, extremizer, phase;
        double turns;  // 0.2 turn per unit of time, plus the phase offset
        double trough, crest, gain;
    } const frames[] = {{0.5f, 0.6f, 0, 0.5f, 0.1, 1, 0.8, 0},          {1.25f, 0.5f, 0, 0.5f, 0.25, 1, 1, 0},
                        {1.25f, 0, 0, 0.5f, 0.2500002, 0, 1, 0},         {0.75f, 0.25f, 0, 0.5f, 0.2500004, 0.5, 1, 0},
                        {3, 0.25f, 0.5f, 0.5f, 0.7000004, 0.5, 1, 5},    {6, 0.6f, -0.5f, 0.625f, 0.8000004, 1, 0.8, 0}};
    for (int run = 0; run < 2; ++run) {  // a second start replays the same frames
        EXPECT_TRUE(h.e->start(0));
        for (const Frame& f : frames) {
            h.params["intensity [s]"] = f.intensity;
            h.params["extremizer"] = f.extremizer;
            h.params["phase [s]"] = f.phase;
            h.e->update(f.time);
            const std::vector<Vec3> got = processParticles(h.e, points);
            for (size_t i = 0; i < points.size(); ++i) {
                const float s = float(scaleAt(azimuth[i], polar[i], f.turns, f.trough, f.crest, f.gain));
                const Vec3& p = points[i];
                expectNear(got.at(i), {p.x * s, p.y * s, p.z * s}, "t=" + std::to_string(f.time));
            }
        }
    }
}

TEST(Harmonik, RunsThroughTheBuiltPlugin) {
    PluginLoader plugin;
    char name[32];
    FxEffect* e = plugin.create(0, name);
    EXPECT_STREQ(name, "GenericHarmonik");
    RecordingParamHost params;
    e->registerParams(&params); e->init(0, 0); e->start(0);
    e->update(1.0f);
    EXPECT_NEAR(processParticles(e, {{0, 2, 0}}).at(0).y, 2 * scaleAt(0, 0, 0.2, 1, 0.8, 0), 1e-5);
    EXPECT_FALSE(e->draw());
    plugin.destroy(e);
}
