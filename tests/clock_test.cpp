#include <cmath>

#include "deformers/time_step_effect.h"
#include "effect_harness.h"
#include "scene/phase_speed.h"

namespace {
constexpr int kAnimated[] = {kIndexOf<GenericHarmonik>, kIndexOf<GenericRotate>};
}  // namespace

TEST(TimeStep, StepsForwardAndNeverBackwards) {
    // {time, step, last}; a NaN time stands for start.
    const float frames[][3] = {{kNaN, 0, 0}, {2.5f, 2.5f, 2.5f}, {3, 0.5f, 3}, {3, 1e-6f, 3}, {1, 1e-6f, 1},
                               {1.5f, 0.5f, 1.5f}, {kNaN, 0.5f, 0}, {-2, 1e-6f, -2}, {0, 2, 0}};
    for (int index : kAnimated) {
        Hosted<FxTimeStepEffect> h(index);
        h.fx->timeStep = 0;
        for (const auto& f : frames) {
            if (std::isnan(f[0])) EXPECT_TRUE(h.fx->start(0)); else h.fx->update(f[0]);
            EXPECT_EQ(h.fx->timeStep, f[1]) << index << " at " << f[0];
            EXPECT_EQ(h.fx->lastTime, f[2]) << index << " at " << f[0];
        }
    }
}

TEST(PhaseSpeed, AdvancesWrapsAndReadsInTurns) {
    struct Case {
        const ExpRange* curve;
        float speed, gain, step, turns;
    } const cases[] = {{&kStandardSpeedCurve, 0.5f, 2, 1e30f, 0}, {&kStandardSpeedCurve, 0.75f, 2, 1, 0.2f},
                       {&kStandardSpeedCurve, 0.25f, 2, 1, -0.2f}, {&kStandardSpeedCurve, 1, 2, 0.5f, 1},
                       {&kWideSpeedCurve, 1, 1, 1, 5}, {&kWideSpeedCurve, 0, 1, 0.5f, -2.5f},
                       {&kWideSpeedCurve, 0.875f, 1, 1, 0.709812f}};
    for (const Case& c : cases) {
        PhaseSpeed clock{c.speed, 0.5f, c.curve, 0.5f};
        clock.advance(c.step, c.gain);
        EXPECT_NEAR(clock.accumulator, 0.5f + c.turns, 2e-6f) << c.speed;
    }
    const float wraps[][2] = {{-0.25f, 0.75f}, {2.5f, 0.5f}, {1, 1}, {0, 0}, {1000.375f, 0.375f}, {-1000.375f, 0.625f},
                              {100, 1}, {-100, 0}, {1e30f, 1}, {-1e30f, 0}, {3e38f, 1}, {kInf, 0}, {-kInf, 0}};
    for (const auto& c : wraps) {
        PhaseSpeed clock{0, 0, &kStandardSpeedCurve, c[0]};
        clock.wrap(0, 1);
        EXPECT_EQ(clock.accumulator, c[1]) << c[0];
    }
    EXPECT_EQ((PhaseSpeed{0, 0}.value(0.5f)), -0.5f);
    EXPECT_EQ((PhaseSpeed{0, 1}.value(0.5f)), 0.5f);
    EXPECT_EQ((PhaseSpeed{0, 0.75f, &kStandardSpeedCurve, 0.25f}.value(2)), 1.25f);
}

// Whatever the host does with time and the user with speed, every call ends
// and the clock stays within its turn; only a clock that already held NaN
// holds it, since a NaN step is lost.
TEST(PhaseSpeed, NoInputHangsOrLeavesTheTurn) {
    const float values[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, 3.4e38f, 1e-45f, 1e-30f, 0, -0.0f, 1, 7.5f, 1e7f};
    for (float speed : {0.0f, 0.25f, 0.5f, 1.0f, kNaN, kInf, -kInf})
        for (float step : values)
            for (float start : values) {
                PhaseSpeed clock{speed, 0, &kWideSpeedCurve, start};
                clock.advance(step, 2);
                clock.wrap(0, 1);
                const float a = clock.accumulator;
                EXPECT_TRUE(std::isnan(start) ? std::isnan(a) : (a >= 0 && a <= 1))
                    << speed << " " << step << " " << start;
            }
    for (int index : kAnimated) {
        Hosted<> h(index);
        for (float t : values) h.fx->update(t), h.fx->update(-t);
    }
}

// Start sets every clock back: a second start replays the first run's frames.
TEST(PhaseSpeed, ASecondStartReplaysTheFrames) {
    const std::vector<Vec3> points = {{1, 2, 0}, {0, 7, 3}, {2, -5, 3}};
    for (int index = 0; index < kCatalogueSize; ++index) {
        Hosted<> h(index);
        for (const Registration& r : h.params.registrations())
            if (r.name.find("speed") != std::string::npos) *r.value = 0.9f;
        std::vector<Vec3> runs[2];
        for (std::vector<Vec3>& run : runs) {
            EXPECT_TRUE(h.fx->start(0));
            for (float time : {0.5f, 1.25f, 3.0f}) {
                h.fx->update(time);
                for (const Vec3& p : h.move(points)) run.push_back(p);
            }
        }
        ASSERT_EQ(runs[0].size(), runs[1].size());
        for (size_t i = 0; i < runs[0].size(); ++i) EXPECT_TRUE(near(runs[1][i], runs[0][i], 0)) << index << " " << i;
    }
}
