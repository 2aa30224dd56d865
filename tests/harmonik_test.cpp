#include <cmath>

#include "effect_harness.h"

namespace {
// The scale of a point seen from the centre at (azimuth, polar), for the wave
// at the given turns, with the angle frequencies ft (azimuth) and fp (polar).
double scaleAt(double azimuth, double polar, double turns, double trough, double crest, double gain, double ft,
               double fp) {
    double f = (std::sin(2 * M_PI * turns + fp * polar + ft * azimuth) + 1) / 2;
    f += gain * (std::sin(ft * azimuth) + std::sin(fp * polar) + 1) / 2;
    return trough + (crest - trough) * f;
}

[[maybe_unused]] const bool kExpected = expect<GenericHarmonik>({
    .description = "Deforms points of current 3d objects in a spherical harmonikal way.",
    .params = kDataFlags + Params{{"intensity [s]", 0.6f}} + kSpeedPhase +
              Params{{"angle teta", 0.5f}, {"angle phi", 0.5f}, {"extremizer", 0}, {"center [p3]", 0, 0, 0}},
    .frames = {{{}, {0, 2, 0}, {0, 1.6097887f, 0}, 1e-5}},  // scaled by 1 - 0.2 (sin(0.4 pi) + 1) / 2
});
}  // namespace

TEST(Harmonik, ScalesPointsFrameAfterFrame) {
    Hosted<GenericHarmonik> h;
    const std::vector<Vec3> points = {{0, 2, 0}, {3, 0, 0}, {0, 0, 4}, {1, 0, -1}, {0, -2, 0}};
    const double azimuth[] = {0, 0, M_PI / 2, -M_PI / 4, 0}, polar[] = {0, M_PI / 2, M_PI / 2, M_PI / 2, M_PI};
    struct Frame {
        float time, intensity, extremizer, phase, teta, phi;
        double turns;  // 0.2 turn per unit of time, plus the phase offset
        double trough, crest, gain, ft, fp;  // angle frequencies 0, 1.25, 5 for 0, 0.25, 0.5
    } const frames[] = {
        {0.5f, 0.6f, 0, 0.5f, 0.5f, 0.5f, 0.1, 1, 0.8, 0, 5, 5},
        {1.25f, 0.5f, 0, 0.5f, 0.5f, 0.5f, 0.25, 1, 1, 0, 5, 5},
        {1.25f, 0, 0, 0.5f, 0.5f, 0.5f, 0.2500002, 0, 1, 0, 5, 5},
        {0.75f, 0.25f, 0, 0.5f, 0.5f, 0.5f, 0.2500004, 0.5, 1, 0, 5, 5},
        {3, 0.25f, 0.5f, 0.5f, 0.25f, 0, 0.7000004, 0.5, 1, 5, 1.25, 0},
        {6, 0.6f, -0.5f, 0.625f, 0.5f, 0.25f, 0.8000004, 1, 0.8, 0, 5, 1.25},
    };
    for (int run = 0; run < 2; ++run) {  // a second start replays the same frames
        EXPECT_TRUE(h.fx->start(0));
        for (const Frame& f : frames) {
            h.edit({{"intensity [s]", f.intensity}, {"extremizer", f.extremizer}, {"phase [s]", f.phase},
                    {"angle teta", f.teta}, {"angle phi", f.phi}});
            h.fx->update(f.time);
            const std::vector<Vec3> got = h.move(points);
            for (size_t i = 0; i < points.size(); ++i) {
                const float s = float(scaleAt(azimuth[i], polar[i], f.turns, f.trough, f.crest, f.gain, f.ft, f.fp));
                const Vec3& p = points[i];
                EXPECT_TRUE(near(got.at(i), {p.x * s, p.y * s, p.z * s}, 1e-4)) << "t=" << f.time << " point " << i;
            }
        }
    }
}
