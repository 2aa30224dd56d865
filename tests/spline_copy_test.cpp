#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "scene/batch_rules.h"
#include "scene/host_vector.h"
#include "scene/spline_copy.h"
#include "test_host.h"
#include "vec_near.h"

namespace {
const Vec3 o{0, 0, 0};
const std::vector<Vec3> kUnitSquare{o, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
}  // namespace

TEST(SplineCopy, LengthsCountZeroSegmentsAndTheClosingOneOnlyWhenClosed) {
    HostScene host;
    host.curves = {{{1, 2, 3}}, {{1, 2, 3}}, {o, o, {3, 4, 0}}, kUnitSquare, {o, {3, 4, 0}}};
    host.closed = {false, true, false, true, false};
    host.publish();
    Spline copy{nullptr};
    copyFrom(copy, host.spline, true, false);
    ASSERT_EQ(count(copy.curves), 5u);
    const std::vector<float> want[] = {{0}, {0.0001f}, {0.0001f, 5, 0}, {1, 1, 1, 1}, {5, 0}};
    const float length[] = {0, 0.0001f, 5.0001f, 4, 5};
    for (int c = 0; c < 5; ++c) {
        Curve& curve = copy.curves->begin[c];
        updateLengths(curve);
        EXPECT_EQ(std::vector<float>(curve.segmentLengths.begin, curve.segmentLengths.end), want[c]) << c;
        EXPECT_FLOAT_EQ(curve.length, length[c]) << c;
    }
    Curve& open = copy.curves->begin[4];  // its last entry is neither written nor counted
    open.segmentLengths.begin[1] = 7;
    updateLengths(open);
    EXPECT_TRUE(open.segmentLengths.begin[1] == 7.0f && open.length == 5.0f);
    // An absent or empty host curve array leaves no copy.
    HostVector<Curve> none{};
    for (Spline empty : {Spline{nullptr}, Spline{&none}}) {
        copyFrom(copy, host.spline, true, false);
        copyFrom(copy, empty, true, false);
        EXPECT_EQ(copy.curves, nullptr);
    }
}

TEST(SplineCopy, ResamplesEvenlyByTheStoredArcLength) {
    struct Case { std::vector<Vec3> points; bool closed; uint32_t count; std::vector<Vec3> want; };
    const Case cases[] = {
        {{o, {10, 0, 0}}, false, 3, {o, {5, 0, 0}, {10, 0, 0}}},
        {{o, {10, 0, 0}}, false, 1, {o}},
        {{o, {10, 0, 0}}, false, 0, {}},
        {{{1, 1, 1}}, false, 4, {}},
        {kUnitSquare, true, 2, {o, o}},
        {kUnitSquare, true, 1, {o}},
        // Step 4/3 carried across corners; the closing side is never walked.
        {kUnitSquare, true, 5, {o, {1, 1 / 3.0f, 0}, {1 / 3.0f, 1, 0}, o}},
    };
    HostVector<Vec3> out{};  // reused: each call starts it over
    for (const Case& c : cases) {
        HostScene host;
        host.curves = {c.points};
        host.closed = {c.closed};
        host.publish();
        resampleCurve(host.spline, 0, c.count, out);
        ASSERT_EQ(count(out), c.want.size()) << c.count;
        for (size_t i = 0; i < c.want.size(); ++i) EXPECT_TRUE(near(out.begin[i], c.want[i])) << i;
    }
    freeStorage(out);
}

TEST(SplineCopy, SamplingStopsAtTheMaximumCount) {
    HostScene host;
    host.curves = {{o, {10, 0, 0}, {20, 0, 0}}};
    host.publish();
    Curve& curve = host.spline.curves->begin[0];
    HostVector<Vec3> out{};
    sampleEvenly(curve, 0, 0.0f, 1.0f, 2, out);  // the first segment alone holds ten
    ASSERT_EQ(count(out), 2u);
    EXPECT_TRUE(near(out.begin[0], {1, 0, 0}) && near(out.begin[1], {2, 0, 0}));
    resize(out, 0);
    sampleEvenly(curve, 0, 0.0f, 1e-30f, 3, out);  // too many steps to count
    EXPECT_EQ(count(out), 3u);
    resize(out, 0);
    curve.segmentLengths.begin[0] = std::numeric_limits<float>::quiet_NaN();
    sampleEvenly(curve, 0, 0.0f, 1.0f, 5, out);  // no sample from a NaN length on
    EXPECT_EQ(count(out), 0u);
    freeStorage(out);
}

// Curves of every length from 0 to 40 points, open and closed, with repeated points: every instruction set's
// segments, and the lengths of curves updated together (their sums side by side), are those of the rule as
// written, bit for bit.
TEST(SplineCopy, CurvesUpdatedTogetherGetTheLengthsOfTheRuleAsWritten) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> coordinate(-100.0f, 100.0f);
    HostScene host;
    std::vector<std::vector<float>> segments;  // as written: open segments, then the closing one
    std::vector<float> lengths;
    for (int c = 0; c <= 40; ++c) {
        std::vector<Vec3> p;
        for (int i = 0; i < c; ++i)
            p.push_back(i % 9 == 4 ? p.back() : Vec3{coordinate(random), coordinate(random), coordinate(random)});
        host.curves.push_back(p);
        host.closed.push_back(c % 3 == 0);
        segments.emplace_back();
        float length = 0;
        for (size_t i = 0; i + 1 < p.size() + (host.closed[c] && c ? 1 : 0); ++i) {
            const Vec3 &a = p[i], &b = p[(i + 1) % p.size()];
            const double dx = float(b.x - a.x), dy = float(b.y - a.y), dz = float(b.z - a.z);
            const float d = float(std::sqrt(double(float(dx * dx + dy * dy + dz * dz))));
            segments.back().push_back(d == 0 ? 0.0001f : d);
            length += segments.back().back();
        }
        lengths.push_back(length);
    }
    host.publish();
    for (InstructionSet set : {InstructionSet::sse2, InstructionSet::avx2, InstructionSet::avx512})
        if (const BatchRules* rules = batchRulesFor(set))
            for (size_t c = 2; c < host.curves.size(); ++c) {
                std::vector<float> got(c);
                rules->segmentLengths(host.curves[c].data(), uint32_t(c), got.data());
                EXPECT_TRUE(std::equal(got.begin(), got.end() - 1, segments[c].begin())) << int(set) << " curve " << c;
            }
    Spline copy{nullptr};
    copyFrom(copy, host.spline, true, false);
    updateLengths(copy.curves->begin, count(copy.curves));
    for (size_t c = 0; c < host.curves.size(); ++c) {
        const Curve& got = copy.curves->begin[c];
        for (size_t i = 0; i < segments[c].size(); ++i)
            EXPECT_EQ(got.segmentLengths.begin[i < c - 1 ? i : c - 1], segments[c][i]) << "curve " << c << " segment " << i;
        EXPECT_EQ(got.length, lengths[c]) << "curve " << c;
    }
    release(copy);
}
