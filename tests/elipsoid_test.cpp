#include <cmath>
#include <limits>

#include "effect_harness.h"
#include "effects/elipsoid.h"

namespace {
// The exponent of a control: 0.1 + (8.1/61) ((70/9)^(2p) - 1).
double exponent(double p) { return 0.1 + 8.1 / 61 * (std::pow(70.0 / 9, 2 * p) - 1); }
double signedPower(double v, double e) { return std::copysign(std::pow(std::fabs(v), e), v); }

// The superellipsoid point from direction cosines, without any angle.
Vec3 expected(Vec3 c, Vec3 p, double teta, double phi) {
    const double dx = p.x - c.x, dy = p.y - c.y, dz = p.z - c.z;
    const double ring = std::sqrt(dx * dx + dz * dz), r = std::sqrt(ring * ring + dy * dy);
    const double et = exponent(teta), ep = exponent(phi), sp = signedPower(ring / r, ep);
    return {float(c.x + r * signedPower(dx / ring, et) * sp), float(c.y + r * signedPower(dy / r, ep)),
            float(c.z + r * signedPower(dz / ring, et) * sp)};
}
}  // namespace

TEST(Elipsoid, RegistersCenterAndTwoPowers) {
    Hosted<GenericElipsoid> h;
    expectRegistered(h.params, {{"center [p3x]", 0}, {"center [p3y]", 0}, {"center [p3z]", 0},
                                {"power teta [s]", 0.55f}, {"power phi [s]", 0.55f}});
    EXPECT_EQ(&h.params["power phi [s]"], &h.fx.powerPhi);
    EXPECT_STREQ(h.fx.description(), "Deforms points of current 3d objects in a spherical harmonikal way.");
    EXPECT_STREQ(h.fx.author(), "Brisel");
    clearGlLog();
    EXPECT_FALSE(h.fx.draw());
    EXPECT_TRUE(glLog().empty());
}

TEST(Elipsoid, ReshapesAboutTheCenter) {
    struct Case {
        float teta, phi;
        Vec3 center, p;
    } cases[] = {
        {0.5f, 0.5f, {0, 0, 0}, {3, -4, 12}},     // exponents 1: in place
        {0.55f, 0.55f, {1, -1, 2}, {3, 1, 4}},    // default, diagonal
        {0.55f, 0.55f, {0, 0, 0}, {-2, 1, -3}},   // signs survive
        {0.0f, 0.0f, {0, 0, 0}, {1, 1, 1}},       // towards a cube
        {0.5f, 0.0f, {0, 0, 0}, {1, 2, 3}},       // teta and phi act apart
        {0.0f, 0.5f, {0, 0, 0}, {1, 2, 3}},
        {0.75f, 0.25f, {0.5f, 0, -1}, {-1, -2, 3}},
    };
    for (const Case& c : cases) {
        Hosted<GenericElipsoid> h;
        h.params["power teta [s]"] = c.teta;
        h.params["power phi [s]"] = c.phi;
        h.params.setPoint("center", c.center);
        EXPECT_TRUE(near(h.move(c.p), expected(c.center, c.p, c.teta, c.phi), 2e-5)) << c.teta << " " << c.phi;
    }
}

TEST(Elipsoid, DefaultsPullOffAxisPointsInwards) {
    Hosted<GenericElipsoid> h;
    h.params.setPoint("center", {1, 1, 1});
    const std::vector<Vec3> in{{3, 1, 1}, {1, -3, 1}, {1, 1, 5}, {1, 1, 1}, {3, 3, 3}};
    const std::vector<Vec3> out = h.move(in);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(near(out[i], in[i], 2e-6)) << i;  // axes and the centre stay
    const float f = 1 + 2 * 0.8788f;                                           // 3^((1 - 1.2351) / 2) of 2
    EXPECT_TRUE(near(out[4], {f, f, f}, 2e-4));
    h.params["power teta [s]"] = h.params["power phi [s]"] = 0;
    h.params.setPoint("center", {0, 0, 0});
    const float s = 1 / std::sqrt(3.0f);
    EXPECT_TRUE(near(h.move({s, -s, s}), {0.9466f, -0.9466f, 0.9466f}, 2e-4));
}

TEST(Elipsoid, NonFiniteExponentsLeavePointsInPlace) {
    Hosted<GenericElipsoid> h;
    h.params["power phi [s]"] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(near(h.move({1, 2, 3}), {1, 2, 3}, 0));
}

TEST(Elipsoid, WorksThroughThePlugIn) {
    const PluginRun run = runThroughPlugin(3, {{{2, 2, 2}, 7u, 8u}}, [](RecordingParamHost&) {});
    EXPECT_EQ(run.name, "GenericElipsoid");
    EXPECT_FALSE(run.drawn);
    ASSERT_EQ(run.particles.size(), 1u);
    EXPECT_TRUE(near(run.particles[0].position, {1.7576f, 1.7576f, 1.7576f}, 2e-4));
}
