#include <cmath>
#include <limits>

#include "effect_harness.h"
#include "effects/scale.h"

TEST(Scale, RegistersOriginThenTheSizeGroup) {
    Hosted<GenericScale> h;
    expectRegistered(h.params, {{"origin [p3x]", 0}, {"origin [p3y]", 0}, {"origin [p3z]", 0}, {"size x [s]", 0.5f},
                                {"size y [s]", 0.5f}, {"size z [s]", 0.5f}, {"uniform [b]", 1}});
    EXPECT_EQ(&h.params["size z [s]"], &h.fx.sizes.sizeZ);
    EXPECT_EQ(&h.params["uniform [b]"], &h.fx.sizes.uniform);
    RecordingParamHost prefixed;
    UniformScale group{};
    group.addParams(&prefixed, "rel ");
    EXPECT_EQ(prefixed.names(),
              (std::vector<std::string>{"rel size x [s]", "rel size y [s]", "rel size z [s]", "rel uniform [b]"}));
    EXPECT_STREQ(h.fx.description(), "Scales the points of 3d objects.");
    EXPECT_STREQ(h.fx.author(), "Brisel");
}

// Factor 0.01 * 10000^size on x; y and z stay at factor 1 (size 0.5).
TEST(Scale, SizesMapToFactorsFromAHundredthToAHundred) {
    for (auto [size, factor] : {std::pair{0.0f, 0.01}, {0.25f, 0.1}, {0.5f, 1.0}, {0.75f, 10.0}, {1.0f, 100.0}}) {
        Hosted<GenericScale> h;
        h.params["size x [s]"] = size;
        const Vec3 p = h.move({2, 3, -4});
        EXPECT_NEAR(p.x, 2 * factor, 2e-6 * factor) << size;
        EXPECT_TRUE(near({0, p.y, p.z}, {0, 3, -4}, 4e-6)) << size;
    }
}

TEST(Scale, TheOriginLowersEachFactor) {
    Hosted<GenericScale> h;
    h.params.setPoint("origin", {1, 1, 1});
    EXPECT_TRUE(near(h.move({3, -7, 11}), {0, 0, 0}, 1e-5));
    h.params.setPoint("origin", {0.5f, -1, 0});
    EXPECT_TRUE(near(h.move({2, 2, 2}), {1, 4, 2}, 1e-5));
}

// Sizes before, edits, uniform, sizes after one update.
TEST(Scale, UniformLinksTheSizes) {
    const float mean3_7 = float(std::log10(370.0) / 4);  // factors 0.1, 1, 10: mean 3.7
    struct Case {
        float before[3], uniformBefore, after[3], uniform, want[3];
    } cases[] = {
        {{0.25f, 0.5f, 0.75f}, 0, {0.25f, 0.5f, 0.75f}, 1, {mean3_7, mean3_7, mean3_7}},  // switched on: mean factor
        {{0.5f, 0.5f, 0.5f}, 1, {0.3f, 0.5f, 0.9f}, 1, {0.3f, 0.3f, 0.3f}},  // x wins over z
        {{0.5f, 0.5f, 0.5f}, 1, {0.5f, 0.2f, 0.9f}, 1, {0.2f, 0.2f, 0.2f}},  // y wins over z
        {{0.5f, 0.5f, 0.5f}, 1, {0.5f, 0.5f, 0.9f}, 0.5f, {0.9f, 0.9f, 0.9f}},  // exactly 0.5 is on
        {{0.5f, 0.5f, 0.5f}, 1, {0.75f, 0.5f, 0.5f}, 0.49f, {0.75f, 0.5f, 0.5f}},  // off: no link
    };
    for (const Case& c : cases) {
        Hosted<GenericScale> h;
        UniformScale& s = h.fx.sizes;
        s.sizeX = c.before[0], s.sizeY = c.before[1], s.sizeZ = c.before[2], s.uniform = c.uniformBefore;
        h.fx.start(0);
        s.sizeX = c.after[0], s.sizeY = c.after[1], s.sizeZ = c.after[2], s.uniform = c.uniform;
        h.fx.update(0.0f);
        EXPECT_NEAR(s.sizeX, c.want[0], 1e-6);
        EXPECT_NEAR(s.sizeY, c.want[1], 1e-6);
        EXPECT_NEAR(s.sizeZ, c.want[2], 1e-6);
    }
}

TEST(Scale, EditsWhileUnlinkedAreEvenedWhenTheLinkReturns) {
    Hosted<GenericScale> h;
    h.params["uniform [b]"] = 0;
    h.fx.update(0.0f);
    h.params["size x [s]"] = 0.75f;
    h.fx.update(0.0f);
    h.params["uniform [b]"] = 1;
    h.fx.update(0.0f);  // factors 10, 1, 1: mean 4
    EXPECT_NEAR(h.params["size y [s]"], std::log10(400.0) / 4, 1e-6);
    EXPECT_EQ(h.params["size x [s]"], h.params["size z [s]"]);
}

TEST(Scale, NonFiniteFactorsLeavePointsInPlace) {
    Hosted<GenericScale> h;
    h.params["size y [s]"] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(near(h.move({1, 2, 3}), {1, 2, 3}, 0));
}

TEST(Scale, WorksThroughThePlugIn) {
    const PluginRun run = runThroughPlugin(7, {{{1, 2, 3}, 7u, 8u}}, [](RecordingParamHost& p) {
        p["size z [s]"] = 0.75f;  // the link carries it to x and y
    });
    EXPECT_EQ(run.name, "_GenericScale");
    EXPECT_FALSE(run.drawn);
    ASSERT_EQ(run.particles.size(), 1u);
    EXPECT_TRUE(near(run.particles[0].position, {10, 20, 30}, 2e-5));
}
