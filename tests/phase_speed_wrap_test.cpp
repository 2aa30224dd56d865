#include <limits>

#include <gtest/gtest.h>

#include "scene/phase_speed.h"

// Within a turn the clock steps one turn at a time; far outside it takes
// the remainder, ending where the steps would end.
TEST(PhaseSpeedWrap, FarOutsideTheTurnEndsWhereSingleStepsWould) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float before, after;
    } cases[] = {
        {-0.25f, 0.75f}, {2.5f, 0.5f},  {1.0f, 1.0f},   {0.0f, 0.0f},    // single steps
        {1000.25f, 0.25f}, {-1000.25f, 0.75f},                            // remainder
        {1000.0f, 1.0f},   {-1000.0f, 0.0f},  {3e9f, 1.0f}, {-3e9f, 0.0f},
        {inf, 0.0f},       {-inf, 0.0f},
    };
    for (const auto& c : cases) {
        PhaseSpeed clock;
        clock.accumulator = c.before;
        clock.wrap(0.0f, 1.0f);
        EXPECT_EQ(clock.accumulator, c.after) << "from " << c.before;
    }
}
