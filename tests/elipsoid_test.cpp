#include "hosted_effect.h"
#include "effects/elipsoid.h"

TEST(Elipsoid, RegistersCenterAndTwoPowers) {
    Hosted<GenericElipsoid> h;
    expectRegistered(h.params, {{"center [p3x]", 0}, {"center [p3y]", 0}, {"center [p3z]", 0},
                                {"power teta [s]", 0.55f}, {"power phi [s]", 0.55f}});
    EXPECT_EQ(&h.params["power phi [s]"], &h.fx.powerPhi);
}

// Controls 0, 0.25, 0.5, 0.55, 0.75 give exponents 0.1, 0.338, 1, 1.235, 2.848.
// Off the axes the direction (cos az sin po, cos po, sin az sin po) has each
// azimuth term raised to the teta exponent and each polar term to the phi one.
TEST(Elipsoid, ReshapesAboutTheCenter) {
    const float s = 1 / std::sqrt(3.0f);
    struct Case {
        float teta, phi;
        Vec3 center, p, want;
    } cases[] = {
        {0.5f, 0.5f, {0, 0, 0}, {3, -4, 12}, {3, -4, 12}},                     // exponents 1: in place
        {0.55f, 0.55f, {1, -1, 2}, {3, 1, 4}, {2.75765f, 0.75765f, 3.75765f}},  // diagonal: 0.879 of it
        {0.55f, 0.55f, {1, -1, 2}, {1, -1, 2}, {1, -1, 2}},                     // the centre stays
        {0.55f, 0.55f, {1, -1, 2}, {1, -4, 2}, {1, -4, 2}},                     // so do the axes
        {0.55f, 0.55f, {1, -1, 2}, {4, -1, 2}, {4, -1, 2}},
        {0.55f, 0.55f, {1, -1, 2}, {1, -1, 7}, {1, -1, 7}},
        {0.55f, 0.55f, {0, 0, 0}, {-2, 1, -3}, {-1.72609f, 0.73324f, -2.84814f}},  // signs survive
        {0, 0, {0, 0, 0}, {s, -s, s}, {0.94655f, -0.94655f, 0.94655f}},            // nearly a cube
        {0.5f, 0, {0, 0, 0}, {1, 1, 1}, {1.20017f, 1.63947f, 1.20017f}},           // teta and phi apart
        {0, 0.5f, {0, 0, 0}, {1, 1, 1}, {1.36604f, 1.0f, 1.36604f}},
        {0.75f, 0.25f, {0.5f, 0, -1}, {-1, -2, 3}, {0.26835f, -3.53091f, 2.78253f}},
        {0.5f, kNaN, {0, 0, 0}, {1, 2, 3}, {1, 2, 3}},  // no exponent: in place
    };
    for (const Case& c : cases) {
        Hosted<GenericElipsoid> h;
        h.params["power teta [s]"] = c.teta;
        h.params["power phi [s]"] = c.phi;
        h.params.setPoint("center", c.center);
        EXPECT_TRUE(near(h.move(c.p), c.want, 2e-5)) << c.teta << " " << c.phi;
    }
}

TEST(Elipsoid, WorksThroughThePlugIn) {
    const PluginRun run = runThroughPlugin(3, {2, 2, 2}, [](RecordingParamHost&) {});
    EXPECT_EQ(run.name, "GenericElipsoid");
    EXPECT_EQ(run.description, "Deforms points of current 3d objects in a spherical harmonikal way.");
    EXPECT_FALSE(run.drawn);
    EXPECT_TRUE(near(run.moved.position, {1.75765f, 1.75765f, 1.75765f}, 2e-5));
}
