#include <climits>
#include <functional>

#include "effect_harness.h"
#include "scene/host_vector.h"

namespace {
using Curves = std::vector<SceneCurve>;

[[maybe_unused]] const bool kExpected = expect<GenericTranslateFromSpline>({
    .description = "Translates the points of 3d objects, following current spline.",
    .params = Params{{"on mesh [b]", 1}, {"on particles [b]", 1}, {"precision", 0.5f}} + kSpeedPhase,
    .frames = {{{}, {1, 2, 3}, {12, 2, 3}, 0, 0.7f}},  // 0.07 of 16 samples one unit apart from (10, 0, 0)
    // Reads the spline first, never hands it back.
    .hostCalls = {"hasSpline(true)", "getSpline", "hasParticles(false)", "getParticles", "setParticles",
                  "hasMesh(false)", "getMesh", "setMesh"},
});

// Curve k runs from (10, 100k, 0) to (25, 100k, 0): 16 samples one unit apart by default.
Curves straight(int k) {
    Curves c;
    for (int i = 0; i < k; ++i) c.push_back({{{10, 100.0f * i, 0}, {25, 100.0f * i, 0}}});
    return c;
}

struct TranslateFromSpline : testing::Test {
    Hosted<GenericTranslateFromSpline> h;
    GenericTranslateFromSpline& fx = *h.fx;
    Scene scene;
    SceneRecords records{scene};
    HostData host{records};
    void SetUp() override {
        host.keepHanded = false;
        host.offerWithoutArray = true;
        setCurves(straight(1));
    }
    void setCurves(Curves c) {
        scene.particles = {{{1, 2, 3}, 7, 9}};
        scene.curves = std::move(c);
        records.publish();
    }
    Vec3 frame(float t) {
        fx.update(t);
        EXPECT_FALSE(fx.process(&host));
        return fx.rule.offset;
    }
};
}  // namespace

// Offsets frame by frame: x = 10 + sample index, y = 100 x curve index.
TEST_F(TranslateFromSpline, FollowsTheSamplesFromCurveToCurve) {
    struct Row {
        int curves;
        float speed, phase, precision, turns;
        std::vector<Vec3> frames;  // time, x, y
    };
    const Row rows[] = {
        {1, 0.75f, 0.5f, 0.5f, 0, {{0.6f, 10, 0}, {0.65f, 11, 0}, {9.9f, 25, 0}, {10.3f, 10, 0}}},
        {2, 0.75f, 0.5f, 0.5f, 0, {{0.3f, 10, 0}, {10.3f, 10, 100}, {10.7f, 11, 100}, {20.3f, 10, 0}}},
        {2, 0.25f, 0.5f, 0.5f, 0, {{0.3f, 25, 100}, {0.7f, 24, 100}}},   // backwards: curve 0 to K-1
        {2, 1.0f, 0.5f, 0.5f, 0, {{0.13f, 20, 0}}},                      // 5 turns per unit of time
        {2, 0.5f, 0.75f, 0.5f, 0, {{0.3f, 14, 0}, {50, 14, 0}}},        // standing still
        {1, 0.75f, 0.5f, 0.0f, 0, {{0.3f, 10, 0}, {9.9f, 10, 0}}},       // one sample: the first point
        {2, 0.5f, 0.5f, 0.5f, 1, {{0.3f, 25, 0}}},                       // v exactly 1: the last sample
        {2, 0.5f, 1.0f, 0.5f, 0.75f, {{0.3f, 25, 100}, {0.4f, 25, 0}}},  // v stays above 1
        {2, 0.5f, 0.0f, 0.5f, 0.25f, {{0.3f, 10, 100}}},                 // v below 0
        {2, 0.5f, kNaN, 0.5f, 0.5f, {{0.3f, 10, 0}}},                    // NaN phase
        {1, 0.75f, 0.5f, 0.5f, 0, {{1, 11, 0}, {kNaN, 11, 0}, {2, 11, 0}, {3, 13, 0}, {kInf, 10, 0}, {4, 10, 0}}},
    };
    for (const Row& row : rows) {
        setCurves(straight(row.curves));
        fx.start(0);
        h.edit({{"speed [s]", row.speed}, {"phase [s]", row.phase}, {"precision", row.precision}});
        fx.travel.accumulator = row.turns;
        for (const Vec3& f : row.frames)
            EXPECT_TRUE(near(frame(f.x), {f.y, f.z, 0}, 0)) << "row " << &row - rows << " time " << f.x;
    }
}

TEST_F(TranslateFromSpline, CountsSamplesFromPrecision) {
    const std::pair<float, uint32_t> rows[] = {{0, 1},    {0.25f, 5}, {0.5f, 16}, {0.75f, 46},   {1, 128},
                                               {kNaN, 2}, {-1, 2},    {-kInf, 2}, {kInf, 65536}};
    for (auto [precision, n] : rows) {
        fx.init(0, 0);  // two samples held
        h.params["precision"] = precision;
        fx.update(1);
        EXPECT_EQ(count(fx.samples), n) << precision;
    }
}

// Without a sample to follow, the points stay where the path last put them;
// without a spline nothing is handed back.
TEST_F(TranslateFromSpline, KeepsTheLastOffsetWhenNoSampleCanBeTaken) {
    const std::function<void()> limits[] = {
        [&] { setCurves({}); },
        [&] { records.spline()->curves = nullptr; },
        [&] { setCurves({{{{5, 5, 5}}}}); },
        [&] { records.spline()->curves->begin[0].segmentLengths = {}; },
    };
    for (const auto& limit : limits) {
        setCurves(straight(1));
        fx.start(0);
        frame(0.1f);
        limit();
        EXPECT_TRUE(near(frame(0.7f), {10, 0, 0}, 0)) << &limit - limits;
        EXPECT_TRUE(near(host.handedParticles->particles->begin[0].position, {11, 2, 3}, 0));
    }
    HostData without(records);
    without.offerSpline = false;
    without.logCalls = true;
    EXPECT_FALSE(fx.process(&without));
    EXPECT_EQ(without.calls, std::vector<std::string>{"hasSpline(true)"});
}

TEST_F(TranslateFromSpline, CurveIndexWrapsInsteadOfOverflowing) {
    setCurves(straight(3));
    h.edit({{"speed [s]", 0.5f}, {"phase [s]", 1}});  // v = 1.25 on every update
    fx.travel.accumulator = 0.75f;
    fx.curveIndex = INT_MAX;
    fx.update(1);
    EXPECT_EQ(fx.curveIndex, INT_MIN);
    EXPECT_TRUE(near(frame(2), {25, 200, 0}, 0));  // INT_MIN + 1 lands on curve 2 of 3
}
