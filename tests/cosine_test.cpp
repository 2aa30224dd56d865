#include <cmath>

#include <gtest/gtest.h>

#include "effects/cosine.h"
#include "frame_rig.h"

TEST(Cosine, MovesEachCoordinateByItsWave) {
    const float x = 0.31415927f, tanPhase = -0.062831855f;  // the tangent's time phase at clock value 0
    const Vec3 p{1, 2, -3}, cosines{1 + std::cos(0.5f), 2 + std::cos(1.0f), -3 + std::cos(1.5f)};
    const struct { Edits edits; Vec3 p, want; float time = 1.0f; } cases[] = {
        {{}, {0, 0, 0}, {1, 1, 1}},
        {{}, p, cosines},
        // a shifted frame: the waves still read world coordinates
        {{{"center [p3x]", 1}, {"axis x [p3x]", 6}, {"axis y [p3x]", 1}, {"axis z [p3x]", 1}}, p, cosines},
        // the default clock, a quarter turn on
        {{{"speed [s]", 0.75f}}, p, {1 - std::sin(0.5f), 2 - std::sin(1.0f), -3 + std::sin(1.5f)}, 1.25f},
        {{{"intensity [s]", 1}}, {0, 0, 0}, {5, 5, 5}},
        {{{"intensity [s]", 0}}, {0, 0, 0}, {-5, -5, -5}},
        {{{"intensity [s]", 0.5f}, {"uniform scale [b]", 0}, {"axis x [p3x]", 10}}, {1, 2, 3}, {2, 2, 3}},
        {{{"intensity [s]", 0.5f}, {"orthogonal [b]", 0}, {"uniform scale [b]", 0},
          {"axis y [p3x]", 3}, {"axis y [p3y]", 4}},
         {0, 1, 0}, {0.48f, 0.64f, 0}},  // skewed y
        {{{"uniform freq [b]", 0}, {"frequence x", 1}, {"frequence y", 0}}, {x, 7, 1},
         {x + std::cos(5 * x), 8, cosines.x}},
        {{{"use tan [b]", 1}}, p,
         {1 + std::tan(0.1f + tanPhase), 2 + std::tan(0.2f + tanPhase), -3 + std::tan(-0.3f + tanPhase)}},
    };
    for (const auto& c : cases) {
        EffectRig<GenericCosine> rig({{"speed [s]", 0.5f}});  // the clock stands at 0
        rig.apply(c.edits);
        expectNear(rig.startAndMove(c.p, c.time), c.want);
    }
}

TEST(Cosine, LinkedFrequenciesFollowTheFirstEdit) {
    const float steps[][7] = {{0.2f, 0.5f, 0.8f, 0, 0.2f, 0.5f, 0.8f},  // x, y, z, link; then the result
                              {0.2f, 0.5f, 0.8f, 1, 0.5f, 0.5f, 0.5f},  // switching on takes the mean
                              {0.5f, 0.3f, 0.5f, 1, 0.3f, 0.3f, 0.3f},
                              {0.7f, 0.3f, 0.9f, 1, 0.7f, 0.7f, 0.7f},  // x wins over z
                              {0.7f, 0.1f, 0.4f, 0, 0.7f, 0.1f, 0.4f},
                              {0.7f, 0.1f, 0.4f, 1, 0.4f, 0.4f, 0.4f}};
    EffectRig<GenericCosine> rig({{"uniform freq [b]", 0}});
    rig.fx.start(0);
    for (const auto& s : steps) {
        rig.apply({{"frequence x", s[0]}, {"frequence y", s[1]}, {"frequence z", s[2]}, {"uniform freq [b]", s[3]}});
        rig.fx.update(1.0f);
        EXPECT_FLOAT_EQ(rig.fx.freqX, s[4]);
        EXPECT_FLOAT_EQ(rig.fx.freqY, s[5]);
        EXPECT_FLOAT_EQ(rig.fx.freqZ, s[6]);
    }
}
