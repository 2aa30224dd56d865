#include <cmath>

#include <gtest/gtest.h>

#include "frame_rig.h"
#include "plugin_loader.h"

TEST(FramePlugin, TwistAndCosineWorkThroughTheExports) {
    const auto axes = [](const std::string& x, const std::string& y) {
        return "begin(1) color(0.9,0.1,0.1) vertex(0,0,0) vertex(" + x + ") color(0.1,0.9,0.1) vertex(0,0,0) vertex(" +
               y + ") color(0.1,0.1,0.9) vertex(0,0,0) vertex(0,0,5) end ";
    };
    const struct {
        int index;
        const char *name, *text;
        std::vector<std::string> names;
        Vec3 from, to;
        std::string gizmo;
    } cases[] = {
        {1, "GenericTwist", "Twists points of current 3d objects.",
         withPoints({"on mesh [b]", "on spline [b]", "on particles [b]", "frequency [s]", "rotate speed [s]",
                     "rotate phase [s]", "orthogonal [b]", "uniform scale [b]", "center [p3]", "axis x [p3]",
                     "axis y [p3]", "axis z [p3]"}),
         {1, 1, 0}, {std::cos(0.5f), 1, std::sin(0.5f)},
         "begin(1) color(0.9,0.1,0.1) vertex(0,-100,0) vertex(0,100,0) end " + axes("0,5,0", "5,0,0")},
        {4, "_GenericCosine", "FIXME",
         withPoints({"orthogonal [b]", "enable scale [b]", "uniform scale [b]", "center [p3]", "axis x [p3]",
                     "axis y [p3]", "axis z [p3]", "on mesh [b]", "on spline [b]", "on particles [b]", "speed [s]",
                     "phase [s]", "intensity [s]", "frequence x", "frequence y", "frequence z", "uniform freq [b]",
                     "use tan [b]"}),
         {1, 2, -3}, {1 + std::cos(0.5f), 2 + std::cos(1.0f), -3 + std::cos(1.5f)},  // after one full turn
         axes("5,0,0", "0,5,0")},
    };
    PluginLoader plugin;
    for (const auto& c : cases) {
        char name[32];
        FxEffect* fx = plugin.create(c.index, name);
        ASSERT_NE(fx, nullptr);
        EXPECT_STREQ(name, c.name);
        EXPECT_STREQ(fx->description(), c.text);
        EXPECT_STREQ(fx->author(), "Brisel");
        RecordingParamHost params;
        fx->registerParams(&params);
        EXPECT_EQ(params.names(), c.names);
        fx->init(0, 0);
        fx->start(0);
        fx->update(5.0f);
        HostScene scene;
        scene.particles = {{c.from, 7, 9}};
        scene.publish();
        RecordingHostData host(scene);
        host.offerSpline = host.offerMesh = false;
        EXPECT_FALSE(fx->process(&host));
        ASSERT_NE(host.handedParticles, nullptr);
        expectNear(host.handedParticles->particles->begin[0].position, c.to);
        clearGlLog();
        EXPECT_FALSE(fx->draw());
        EXPECT_EQ(glTrace(), c.gizmo);
        plugin.destroy(fx);
    }
}
