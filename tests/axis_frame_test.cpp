#include <cmath>
#include <cstring>

#include "effect_harness.h"
#include "scene/scalar_math.h"
#include "scene/vec_math.h"

namespace {
bool sameFrame(const Vec3* a, const Vec3* b) { return std::memcmp(a, b, 4 * sizeof(Vec3)) == 0; }
float length(const Vec3& v) { return float(std::sqrt(double(lengthSquared(v)))); }
Vec3 unit(Vec3 v) { return normalize(v); }

// The frame upkeep written out step by step, with no shortcut: what the
// effects' frames are held to over long runs, bit for bit.
struct PlainFrame {
    Vec3 before[4];
    bool orthoBefore = false, uniformBefore = false;

    void upkeep(Vec3 (&f)[4], bool ortho, bool uniform, bool keepScale) {
        bool moved[4];
        for (int i = 0; i < 4; ++i)
            moved[i] = !(f[i].x == before[i].x && f[i].y == before[i].y && f[i].z == before[i].z);
        const bool uniformToggled = uniform != uniformBefore, orthoToggled = ortho != orthoBefore;
        const Vec3 c = f[0];
        if (moved[0]) {
            for (int i = 1; i < 4; ++i) f[i] = sum(f[i], difference(c, before[0]));
        } else if (moved[1] || moved[2] || moved[3] || uniformToggled || orthoToggled) {
            if (uniform) {
                Vec3 r[3];
                double lengths = 0.0;
                int marked = 0;
                for (int i = 0; i < 3; ++i) {
                    r[i] = difference(f[i + 1], c);
                    if (uniformToggled || moved[i + 1]) lengths += length(r[i]), ++marked;
                }
                if (marked) {
                    const float mean = float(lengths / marked);
                    for (Vec3& v : r) v = scaled(unit(v), mean);
                }
                for (int i = 0; i < 3; ++i) f[i + 1] = sum(c, r[i]);
            }
            if (ortho && orthoToggled) {
                for (int kept = 0; kept < 3; ++kept) {
                    Vec3 r[3];
                    for (int i = 0; i < 3; ++i) r[i] = difference(f[i + 1], c);
                    for (int i = 0; i < 3; ++i)
                        if (i != kept) orthogonalize(r[i], r[kept]), f[i + 1] = sum(c, r[i]);
                }
            } else if (ortho) {
                Vec3 r[3], p[3];
                float lengths[3];
                for (int i = 0; i < 3; ++i)
                    r[i] = difference(f[i + 1], c), p[i] = difference(before[i + 1], c), lengths[i] = length(r[i]);
                const int n = moved[1] + moved[2] + moved[3];
                Mat4 s;
                fill(s, 0.0f);
                for (int i = 0; i < 3; ++i) {
                    if (!moved[i + 1]) continue;
                    const Vec3 a = unit(cross(p[i], r[i])), q = unit(cross(p[i], a));
                    const double angle = fxmath::atan2(dot(unit(r[i]), q), dot(unit(r[i]), unit(p[i])));
                    Mat4 turn;
                    rotationAboutAxis(turn, a, float(std::fabs(angle)));
                    for (int e = 0; e < 16; ++e) s.m[e] = float(double(s.m[e]) + turn.m[e]);
                }
                divide(s, float(n));
                for (int i = 0; i < 3; ++i) {
                    if (n) r[i] = scaled(unit(transformPoint(s, p[i])), lengths[i]);
                    f[i + 1] = sum(c, r[i]);
                }
            }
        }
        if (!keepScale)
            for (int i = 1; i < 4; ++i) placeAtRadius(f[i], c);
        std::memcpy(before, f, sizeof before);
        orthoBefore = ortho;
        uniformBefore = uniform;
    }
};
}  // namespace

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
        {"orthogonal off keeps a skewed axis, pulled back to 5", {{"orthogonal [b]", 0}, {"axis y [p3]", 7, 8, 0}},
         {1 + s, s, 0}, {4, 4, 0}, {1, 0, 5}},
        {"orthogonal on squares it against x", {{"orthogonal [b]", 1}}, {1 + s, s, 0}, {1 - s, s, 0}, {1, 0, 5}},
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
    EXPECT_TRUE(sameFrame(rig.fx->frame, want));
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
    ASSERT_FALSE(sameFrame(want, rig.fx->frame)) << "C + (X - C) should move an end point";
    rig.edit({{"orthogonal [b]", 0}});
    rig.fx->update(0.08f);
    EXPECT_TRUE(sameFrame(rig.fx->frame, want));
}

// Ten thousand frames of a frame turning 0.01 rad a frame about a tilted axis,
// with pauses, flag switches and moves of the centre on the way.
TEST(AxisFrame, LongRunsKeepToTheStepsBitForBit) {
    for (int index : {kIndexOf<GenericTwist>, kIndexOf<GenericCosine>}) {
        Hosted<FxAxisFrameEffect> rig(index);
        const bool hasEnableScale = index == kIndexOf<GenericCosine>;
        PlainFrame plain;
        std::memcpy(plain.before, rig.fx->frame, sizeof plain.before);
        Mat4 turn;
        rotationAboutAxis(turn, unit({0.3f, 1.0f, 0.2f}), 0.01f);
        for (int n = 1; n <= 10000; ++n) {
            Vec3 edited[4];
            std::memcpy(edited, rig.fx->frame, sizeof edited);
            if (n % 7 == 0) {
                edited[0] = sum(edited[0], {0.01f, -0.003f, 0.002f});
            } else if (n % 5 != 0) {
                for (int i = 1; i < 4; ++i)
                    edited[i] = sum(edited[0], transformPoint(turn, difference(edited[i], edited[0])));
            }
            if (n % 250 == 0) rig.fx->uniformScale = 1.0f - rig.fx->uniformScale;
            if (n % 350 == 0) rig.fx->orthogonal = 1.0f - rig.fx->orthogonal;
            if (hasEnableScale && n % 1100 == 0) rig.fx->enableScale = 1.0f - rig.fx->enableScale;
            std::memcpy(rig.fx->frame, edited, sizeof edited);
            rig.fx->update(0.04f * float(n));
            plain.upkeep(edited, rig.fx->orthogonal >= 0.5f, rig.fx->uniformScale >= 0.5f,
                         rig.fx->enableScale >= 0.5f);
            ASSERT_TRUE(sameFrame(rig.fx->frame, edited)) << "effect " << index << ", frame " << n;
        }
    }
}
