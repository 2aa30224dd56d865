#include <array>
#include <climits>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

#include "allocation_counter.h"
#include "effects/translate_from_spline.h"
#include "plugin_loader.h"
#include "scene/host_vector.h"
#include "test_host.h"

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
using Curves = std::vector<std::vector<Vec3>>;
using Xyz = std::array<float, 3>;
Xyz xyz(Vec3 v) { return {v.x, v.y, v.z}; }

// Curve k runs from (10, 100k, 0) to (25, 100k, 0): 16 samples one unit apart by default.
Curves straight(int k) {
    Curves c;
    for (int i = 0; i < k; ++i) c.push_back({{10, 100.0f * i, 0}, {25, 100.0f * i, 0}});
    return c;
}

struct TranslateFromSpline : testing::Test {
    GenericTranslateFromSpline fx{};
    RecordingParamHost params;
    HostScene scene;
    RecordingHostData host{scene};
    void SetUp() override {
        fx.registerParams(&params);
        fx.init(0, 0);
        fx.start(0);
        scene.particles = {{{1, 2, 3}, 7, 9}};
        scene.vertices = {{0, 0, 5}};
        setCurves(straight(1));
    }
    void setCurves(Curves c) {
        scene.curves = std::move(c);
        scene.publish();
    }
    Xyz frame(float t) {
        fx.update(t);
        host.calls.clear();
        EXPECT_FALSE(fx.process(&host));
        return xyz(fx.offset);
    }
    Xyz handedParticle() const { return xyz(host.handedParticles->particles->begin[0].position); }
};
}  // namespace

// Offsets frame by frame: x = 10 + sample index, y = 100 x curve index.
TEST_F(TranslateFromSpline, FollowsTheSamplesFromCurveToCurve) {
    struct Row {
        int curves;
        float speed, phase, precision, turns;
        std::vector<Xyz> frames;  // time, x, y
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
        params["speed [s]"] = row.speed;
        params["phase [s]"] = row.phase;
        params["precision"] = row.precision;
        fx.travel.accumulator = row.turns;
        for (auto [t, x, y] : row.frames) EXPECT_EQ(frame(t), (Xyz{x, y, 0})) << "row " << &row - rows << " time " << t;
    }
}

TEST_F(TranslateFromSpline, CountsSamplesFromPrecision) {
    const std::pair<float, uint32_t> rows[] = {{0, 1},    {0.25f, 5}, {0.5f, 16}, {0.75f, 46},   {1, 128},
                                               {kNaN, 2}, {-1, 2},    {-kInf, 2}, {kInf, 65536}};
    for (auto [precision, n] : rows) {
        fx.init(0, 0);  // two samples held
        params["precision"] = precision;
        fx.update(1);
        EXPECT_EQ(count(fx.samples), n) << precision;
    }
}

// Without a sample to follow, the points stay where the path last put them.
TEST_F(TranslateFromSpline, KeepsTheLastOffsetWhenNoSampleCanBeTaken) {
    const std::function<void()> limits[] = {
        [&] { setCurves({}); },
        [&] { scene.spline.curves = nullptr; },
        [&] { setCurves({{{5, 5, 5}}}); },
        [&] { scene.spline.curves->begin[0].segmentLengths = {}; },
    };
    for (const auto& limit : limits) {
        setCurves(straight(1));
        fx.start(0);
        frame(0.1f);
        limit();
        EXPECT_EQ(frame(0.7f), (Xyz{10, 0, 0})) << &limit - limits;
        EXPECT_EQ(handedParticle(), (Xyz{11, 2, 3}));
    }
}

TEST_F(TranslateFromSpline, CurveIndexWrapsInsteadOfOverflowing) {
    setCurves(straight(3));
    params["speed [s]"] = 0.5f;
    params["phase [s]"] = 1.0f;  // v = 1.25 on every update
    fx.travel.accumulator = 0.75f;
    fx.curveIndex = INT_MAX;
    fx.update(1);
    EXPECT_EQ(fx.curveIndex, INT_MIN);
    EXPECT_EQ(frame(2), (Xyz{25, 200, 0}));  // INT_MIN + 1 lands on curve 2 of 3
}

TEST_F(TranslateFromSpline, SteadyFramesAllocateNothing) {
    // With particles off every call the host records fits in its string.
    params["on particles [b]"] = 0;
    host.calls.reserve(1000);
    setCurves(straight(2));
    frame(0.5f);
    const size_t before = allocationCount();
    for (int i = 1; i <= 40; ++i) {
        params["precision"] = i % 2 ? 0.25f : 0.5f;
        fx.update(0.6f * i);  // 0.06 turn a frame: on to curve 1, then back to curve 0
        fx.process(&host);
    }
    EXPECT_EQ(allocationCount() - before, 0u);
    EXPECT_EQ(fx.curveIndex, 0);
}

// The host's view, through the built library.
TEST_F(TranslateFromSpline, RegistersReadsTheSplineAndMovesParticlesAndMesh) {
    PluginLoader lib;
    ASSERT_TRUE(lib.loaded());
    char name[32];
    FxEffect* e = lib.create(6, name);
    EXPECT_STREQ(name, "_GenericTranslateFromSpline");
    RecordingParamHost own;
    e->registerParams(&own);
    std::vector<std::pair<std::string, float>> registered;
    for (const Registration& r : own.calls) registered.push_back({r.name, r.initial});
    EXPECT_EQ(registered, (decltype(registered){{"on mesh [b]", 1}, {"on particles [b]", 1}, {"precision", 0.5f},
                                                {"speed [s]", 0.75f}, {"phase [s]", 0.5f}}));
    EXPECT_TRUE(e->init(0, 0));
    EXPECT_TRUE(e->start(0));
    e->update(0.7f);
    EXPECT_FALSE(e->process(&host));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"hasSpline(true)", "getSpline", "hasParticles(false)",
                                                    "getParticles", "setParticles", "hasMesh(false)", "getMesh",
                                                    "setMesh"}));
    EXPECT_EQ(handedParticle(), (Xyz{12, 2, 3}));
    EXPECT_EQ(xyz(host.handedMesh->vertices->begin[0]), (Xyz{11, 0, 5}));

    RecordingHostData without(scene);  // no spline: nothing moved, nothing handed back
    without.offerSpline = false;
    EXPECT_FALSE(e->process(&without));
    EXPECT_EQ(without.calls, std::vector<std::string>{"hasSpline(true)"});
    EXPECT_FALSE(e->draw());
    EXPECT_STREQ(e->description(), "Translates the points of 3d objects, following current spline.");
    EXPECT_STREQ(e->author(), "Brisel");
    lib.destroy(e);
}
