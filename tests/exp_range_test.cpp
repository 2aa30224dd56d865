#include <bit>
#include <cmath>

#include <gtest/gtest.h>

#include "effects/uniform_scale.h"
#include "plugin/catalogue.h"
#include "scene/exp_range.h"

namespace {
// (min, mid, max) and one more point of each curve: the closed forms
// 0.01 100^p, 0.01 10000^p, 0.625 (81^p - 1), (5/14)(225^p - 1),
// 0.0625 (81^p - 1), (6.25^p - 1) / 15, (16^p - 1) / 3, and the wide curve's
// value at 0.75.
const struct { const ExpRange* curve; float min, mid, max, p, atP; } kInstances[] = {
    {&kStandardSpeedCurve, 0.01f, 0.1f, 1, 0.25f, 0.0316228f},
    {&kWideSpeedCurve, 0.001f, 0.1f, 5, 0.75f, 0.709812f},
    {&kScaleFactorCurve, 0.01f, 1, 100, 0.75f, 10},
    {&kAngleFrequencyCurve, 0, 5, 50, 0.25f, 1.25f},
    {&kExtremizerGainCurve, 0, 5, 80, 0.25f, 1.0260655f},
    {&kElipsoidExponentCurve, 0.1f, 1, 8, 0.5f, 1},
    {&kTwistRateCurve, 0.00001f, 0.5f, 6, 0.5f, 0.5f},
    {&kCosineFrequencyCurve, 0, 0.5f, 5, 0.25f, 0.125f},
    {&kTangentFrequencyCurve, 0, 0.1f, 0.35f, 0.25f, 0.03874259f},
    {&kCosineIntensityCurve, 0, 1, 5, 0.25f, 1.0f / 3.0f},
    {&kMagnetPowerCurve, 0.01f, 1, 25, 0.5f, 1},
    {&kSampleCountCurve, 1, 16, 128, 0.5f, 16},
};
}  // namespace

// The first evaluation derives the constants; it and every later one, with
// the other curves evaluated in between, give the same bits.
TEST(ExpRange, EveryInstancePassesThroughMinMidMaxWithTheSameBitsEachTime) {
    const uint32_t first = std::bit_cast<uint32_t>(kTwistRateCurve.value(0.3f));
    for (const auto& c : kInstances) {
        SCOPED_TRACE(c.max);
        EXPECT_EQ(std::bit_cast<uint32_t>(kTwistRateCurve.value(0.3f)), first);
        EXPECT_NEAR(c.curve->value(0.0f), c.min, c.min * 2e-6f);
        EXPECT_NEAR(c.curve->value(0.5f), c.mid, c.mid * 2e-6f);
        EXPECT_NEAR(c.curve->value(1.0f), c.max, c.max * 2e-6f);
        EXPECT_NEAR(c.curve->value(c.p), c.atP, c.atP * 1e-5f);
    }
}

TEST(ExpRange, ExtrapolatesAndInverts) {
    EXPECT_NEAR(kStandardSpeedCurve.value(-0.5f), 0.001f, 1e-8f);
    EXPECT_NEAR(kStandardSpeedCurve.value(1.5f), 10.0f, 1e-5f);
    for (float p : {0.0f, 0.1f, 0.25f, 0.5f, 0.75f, 0.9f, 1.0f})
        EXPECT_NEAR(kScaleFactorCurve.inverse(kScaleFactorCurve.value(p)), p, 1e-6f) << p;
    EXPECT_NEAR(kScaleFactorCurve.inverse(10.0f), 0.75f, 1e-6f);
}

#if __has_include("reference/real_value.h")
#include <algorithm>
#include <set>

#include "reference/real_value.h"

// fxhost cannot link the library, so its reference maps stored values with a
// copy of the curve formula: every curve it names is one of the library's,
// value for value within a float step, and no curve of the library goes unnamed.
TEST(ExpRange, FxhostsReferenceMapsWithTheLibrarysCurves) {
    std::vector<ExpCurve> named;
    for (const EffectReference& effect : effectReferences())
        for (const ParamReference& p : effect.params)
            for (const std::optional<ExpCurve>& c : {p.curve, p.alternate})
                if (c) named.push_back(*c);
    std::set<const ExpRange*> used;
    for (const ExpCurve& c : named) {
        const auto* match = std::find_if(std::begin(kInstances), std::end(kInstances), [&](const auto& i) {
            return i.min == c.min && i.mid == c.mid && i.max == c.max;
        });
        ASSERT_NE(match, std::end(kInstances)) << "no curve (" << c.min << ", " << c.mid << ", " << c.max << ")";
        used.insert(match->curve);
        for (int i = -10; i <= 110; ++i) {
            const float p = float(i) / 100.0f, library = match->curve->value(p);
            EXPECT_NEAR(curveValue(c, p), library, std::fabs(std::nextafter(library, INFINITY) - library))
                << "(" << c.min << ", " << c.mid << ", " << c.max << ") at " << p;
        }
    }
    EXPECT_EQ(used.size(), std::size(kInstances));
}
#endif
