#include <cstring>

#include "effect_harness.h"
#include "float_agreement.h"
#include "scene/vec_math.h"

// Cosine registers the frame's own parameter set.
TEST(AxisFrame, KeepsTheFrameInShapeAcrossEdits) {
    struct Step {
        const char* what;
        Params edits;
        Vec3 x, y, z;  // axis end points after the update
    };
    const float h = 5.656854f, q = 4.242641f, s = 3.535534f;  // 8, 6 and 5 times cos 45 degrees
    const Step steps[] = {
        {"start evens the lengths to their mean", {}, {4, 0, 0}, {0, 4, 0}, {0, 0, 4}},
        {"the axes follow the centre, and nothing else is kept in shape", {{"center [p3x]", 1}, {"axis y [p3y]", 3}},
         {5, 0, 0}, {1, 3, 0}, {1, 0, 4}},
        {"x dragged to length 8 sets every length", {{"axis x [p3x]", 9}}, {9, 0, 0}, {1, 8, 0}, {1, 0, 8}},
        {"uniform off: y shortens alone", {{"uniform scale [b]", 0}, {"axis y [p3y]", 3}},
         {9, 0, 0}, {1, 3, 0}, {1, 0, 8}},
        {"x turned 90 degrees about z takes y along", {{"axis x [p3]", 1, 8, 0}}, {1, 8, 0}, {-2, 0, 0}, {1, 0, 8}},
        {"two edits turn by their mean rotation", {{"axis x [p3x]", 9}, {"axis x [p3y]", 0}, {"axis y [p3x]", -5}},
         {1 + h, h, 0}, {1 - q, q, 0}, {1, 0, 8}},
        {"enable scale off pulls every axis to 5", {{"enable scale [b]", 0}}, {1 + s, s, 0}, {1 - s, s, 0}, {1, 0, 5}},
        // The pulled frame is the one kept: y alone is edited, so x turns by y's 45 degrees alone.
        {"y turned back to upright takes x along", {{"axis y [p3]", 1, 5, 0}}, {6, 0, 0}, {1, 5, 0}, {1, 0, 5}},
        {"orthogonal off keeps a skewed axis, pulled back to 5", {{"orthogonal [b]", 0}, {"axis y [p3]", 7, 8, 0}},
         {6, 0, 0}, {4, 4, 0}, {1, 0, 5}},
        {"orthogonal on squares it against x", {{"orthogonal [b]", 1}}, {6, 0, 0}, {1, 5, 0}, {1, 0, 5}},
    };
    Hosted<GenericCosine> rig({{"axis z [p3z]", 2}});
    float t = 0.0f;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        rig.edit(step.edits);
        rig.fx->update(t += 0.04f);
        EXPECT_TRUE(near(rig.params.point("axis x"), step.x, 1e-4));
        EXPECT_TRUE(near(rig.params.point("axis y"), step.y, 1e-4));
        EXPECT_TRUE(near(rig.params.point("axis z"), step.z, 1e-4));
    }
}

TEST(Cosine, LinkedFrequenciesFollowTheFirstEdit) {
    const float steps[][7] = {{0.2f, 0.5f, 0.8f, 0, 0.2f, 0.5f, 0.8f},  // x, y, z, link; then the result
                              {0.2f, 0.5f, 0.8f, 1, 0.5f, 0.5f, 0.5f},  // switching on takes the mean
                              {0.5f, 0.3f, 0.5f, 1, 0.3f, 0.3f, 0.3f},
                              {0.7f, 0.3f, 0.9f, 1, 0.7f, 0.7f, 0.7f},  // x wins over z
                              {0.7f, 0.1f, 0.4f, 0, 0.7f, 0.1f, 0.4f},
                              {0.7f, 0.1f, 0.4f, 1, 0.4f, 0.4f, 0.4f}};
    Hosted<GenericCosine> rig({{"uniform freq [b]", 0}});
    for (const auto& s : steps) {
        rig.edit({{"frequence x", s[0]}, {"frequence y", s[1]}, {"frequence z", s[2]}, {"uniform freq [b]", s[3]}});
        rig.fx->update(1.0f);
        const Vec3 got{rig.params["frequence x"], rig.params["frequence y"], rig.params["frequence z"]};
        EXPECT_TRUE(near(got, {s[4], s[5], s[6]}, 0)) << "step " << &s - steps;
    }
}

TEST(Twist, RunsOnTheWideCurveAndNeverStopsTwisting) {
    Hosted<GenericTwist> rig({{"rotate speed [s]", 1}, {"frequency [s]", 0.5f}});
    rig.fx->update(0.3f);
    EXPECT_TRUE(near(rig.move({2, 0, 0}), {-2, 0, 0}, 1e-4));  // 5 turns per unit: 1.5 turns
    EXPECT_NEAR(rig.fx->rotation.accumulator, 0.5f, 1e-5f);
    EXPECT_EQ(rig.fx->rule.twistRate, 0.00001f);
    EXPECT_EQ(rig.fx->enableScale, 1.0f);  // never registered, so always on
}

TEST(AxisFrame, RoundsOnlyTheMeanLength) {
    // Three marked lengths: their sum stays in double, only the mean is rounded.
    Hosted<GenericCosine> rig({{"orthogonal [b]", 0}, {"axis x [p3]", 4.84400654f},
                                            {"axis y [p3]", 0, 22.7124634f}, {"axis z [p3]", 0, 0, 13.9004793f}});
    rig.fx->update(0.04f);
    const float mean = 0x1.ba351cp+3f;
    const Vec3 want[4] = {{0, 0, 0}, {mean, 0, 0}, {0, mean, 0}, {0, 0, mean}};
    EXPECT_TRUE(sameBits(rig.fx->frame, want, 4));
}

TEST(AxisFrame, SwitchingOrthogonalOffStillWritesTheFrameBack) {
    // The axes follow a moved centre without being written back ...
    Hosted<GenericCosine> rig({{"center [p3x]", 6.6007137f}});
    rig.fx->update(0.04f);
    rig.edit({{"center [p3x]", 3.4061112f}, {"axis x [p3x]", -3.9326298f}});
    rig.fx->update(0.06f);
    // ... so C + (X - C) moves them by a rounding when the next update keeps the frame in shape.
    Vec3 want[4];
    std::memcpy(want, rig.fx->frame, sizeof want);
    for (int i = 1; i < 4; ++i) want[i] = sum(want[0], difference(want[i], want[0]));
    ASSERT_FALSE(sameBits(want, rig.fx->frame, 4)) << "C + (X - C) should move an end point";
    rig.edit({{"orthogonal [b]", 0}});
    rig.fx->update(0.08f);
    EXPECT_TRUE(sameBits(rig.fx->frame, want, 4));
}
