#include <cmath>

#include "effect_harness.h"
#include "scene/param_registration.h"

// Scalars store their signed default d as (d + 1) / 2; flags 1 or 0; points
// and bare parameters their values as given. Each kind builds its names in
// one buffer: a host that kept the pointer instead of copying the text would
// see every earlier name of that kind overwritten by the latest one.
TEST(Registration, TypedNamesValuesAddressesAndSharedBuffers) {
    RecordingParamHost host;
    float s[5], on, off, bare;
    Vec3 p;
    const char* scalars[] = {"speed", "phase", "intensity", "size x", "size y"};
    const float d[] = {-1, 0, 0.5f, 1, -0.5f};
    for (int i = 0; i < 5; ++i) addScalar(&host, scalars[i], &s[i], d[i]);
    addBool(&host, "on mesh", &on, true);
    addBool(&host, "uniform scale", &off, false);
    addPoint(&host, "axis x", &p, {5, -0.25f, 0});
    addBare(&host, "range multiply", &bare, 0.2f);
    EXPECT_EQ(registered(host), expand({{"speed [s]", 0}, {"phase [s]", 0.5f}, {"intensity [s]", 0.75f},
                                        {"size x [s]", 1}, {"size y [s]", 0.25f}, {"on mesh [b]", 1},
                                        {"uniform scale [b]", 0}, {"axis x [p3]", 5, -0.25f, 0},
                                        {"range multiply", 0.2f}}));
    const float* where[] = {&s[0], &s[1], &s[2], &s[3], &s[4], &on, &off, &p.x, &p.y, &p.z, &bare};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(host.registrations().at(i).value, where[i]) << i;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(signedValue(s[i]), d[i]);
    const auto buffer = [&](int i) { return host.registrations()[i].buffer; };
    EXPECT_TRUE(buffer(0) == buffer(4) && buffer(5) == buffer(6) && buffer(7) == buffer(9));
    EXPECT_TRUE(buffer(0) != buffer(5) && buffer(0) != buffer(7) && buffer(5) != buffer(7));
    EXPECT_STREQ(buffer(0), "size y [s]");
}

TEST(Registration, AFlagIsOnFromOneHalfAndOffForNaN) {
    const struct { float v; bool on; } cases[] = {
        {0.0f, false}, {0.49f, false}, {std::nextafter(0.5f, 0.0f), false}, {0.5f, true}, {1.0f, true}, {kNaN, false}};
    for (const auto& c : cases) EXPECT_EQ(isOn(c.v), c.on) << c.v;
}
