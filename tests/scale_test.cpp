#include "hosted_effect.h"
#include "effects/scale.h"

TEST(Scale, RegistersOriginThenTheSizeGroup) {
    Hosted<GenericScale> h;
    expectRegistered(h.params, {{"origin [p3x]", 0}, {"origin [p3y]", 0}, {"origin [p3z]", 0}, {"size x [s]", 0.5f},
                                {"size y [s]", 0.5f}, {"size z [s]", 0.5f}, {"uniform [b]", 1}});
    EXPECT_EQ(&h.params["size z [s]"], &h.fx.sizes.sizeZ);
    EXPECT_EQ(&h.params["uniform [b]"], &h.fx.sizes.uniform);
    RecordingParamHost prefixed;
    UniformScale{}.addParams(&prefixed, "rel ");
    EXPECT_EQ(prefixed.names()[1], "rel size y [s]");
}

// x by 0.01 * 10000^size less the origin's x; y and z at size 0.5, factor 1.
TEST(Scale, SizesMapToFactorsLessTheOrigin) {
    struct Case {
        float size;
        Vec3 origin;
        double fx, fy, fz;
    } cases[] = {{0, {}, 0.01, 1, 1}, {0.25f, {}, 0.1, 1, 1}, {0.5f, {}, 1, 1, 1}, {0.75f, {}, 10, 1, 1},
                 {1, {}, 100, 1, 1},  {0.5f, {1, 1, 1}, 0, 0, 0}, {0.75f, {0.5f, -1, 0}, 9.5, 2, 1},
                 {kNaN, {}, 1, 1, 1}};  // no factor: points stay
    for (const Case& c : cases) {
        Hosted<GenericScale> h;
        h.params["size x [s]"] = c.size;
        h.params.setPoint("origin", c.origin);
        const Vec3 p = h.move({2, 3, -4});
        EXPECT_TRUE(near(p, {float(2 * c.fx), float(3 * c.fy), float(-4 * c.fz)}, 2e-6 * c.fx + 4e-6)) << c.size;
    }
}

// Sizes at start, then edited; the uniform flag at start, at the update
// that sees the edit, and at a second update.
TEST(Scale, UniformLinksTheSizes) {
    const float mean = float(std::log10(370.0) / 4), mean4 = float(std::log10(400.0) / 4);  // of 3.7 and 4
    struct Case {
        float before[3], after[3], flags[3], want[3];
    } cases[] = {
        {{0.25f, 0.5f, 0.75f}, {0.25f, 0.5f, 0.75f}, {0, 0, 1}, {mean, mean, mean}},  // switched on
        {{0.5f, 0.5f, 0.5f}, {0.75f, 0.5f, 0.5f}, {1, 0, 1}, {mean4, mean4, mean4}},  // off for the edit
        {{0.5f, 0.5f, 0.5f}, {0.3f, 0.5f, 0.9f}, {1, 1, 1}, {0.3f, 0.3f, 0.3f}},      // x wins over z
        {{0.5f, 0.5f, 0.5f}, {0.5f, 0.2f, 0.9f}, {1, 1, 1}, {0.2f, 0.2f, 0.2f}},      // y wins over z
        {{0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.9f}, {0.5f, 0.5f, 0.5f}, {0.9f, 0.9f, 0.9f}},  // 0.5 is on
        {{0.5f, 0.5f, 0.5f}, {0.75f, 0.5f, 0.5f}, {0.49f, 0.49f, 0.49f}, {0.75f, 0.5f, 0.5f}},
    };
    for (const Case& c : cases) {
        Hosted<GenericScale> h;
        UniformScale& s = h.fx.sizes;
        s.sizeX = c.before[0], s.sizeY = c.before[1], s.sizeZ = c.before[2], s.uniform = c.flags[0];
        h.fx.start(0);
        s.sizeX = c.after[0], s.sizeY = c.after[1], s.sizeZ = c.after[2], s.uniform = c.flags[1];
        h.fx.update(0.0f);
        s.uniform = c.flags[2];
        h.fx.update(0.0f);
        EXPECT_TRUE(near({s.sizeX, s.sizeY, s.sizeZ}, {c.want[0], c.want[1], c.want[2]}, 1e-6)) << c.after[0];
    }
}

TEST(Scale, WorksThroughThePlugIn) {
    const PluginRun run = runThroughPlugin(7, {1, 2, 3}, [](RecordingParamHost& p) { p["size z [s]"] = 0.75f; });
    EXPECT_EQ(run.name, "_GenericScale");
    EXPECT_EQ(run.description, "Scales the points of 3d objects.");
    EXPECT_FALSE(run.drawn);
    EXPECT_TRUE(near(run.moved.position, {10, 20, 30}, 2e-5));  // the link carries z to x and y
}
