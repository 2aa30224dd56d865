#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "plugin/param_registration.h"
#include "test_host.h"

TEST(AddScalar, StoresTheSignedDefaultOnTheHostsScale) {
    const struct { float d, stored; } cases[] = {{-1, 0}, {0, 0.5f}, {0.5f, 0.75f}, {1, 1}, {-0.5f, 0.25f}};
    for (const auto& c : cases) {
        RecordingParamHost host;
        float v = -7.0f;
        addScalar(&host, "speed", &v, c.d);
        ASSERT_EQ(host.calls.size(), 1u);
        EXPECT_EQ(host.calls[0].name, "speed [s]");
        EXPECT_EQ(host.calls[0].value, &v);
        EXPECT_EQ(host.calls[0].initial, c.stored) << "default " << c.d;
        EXPECT_EQ(signedValue(v), c.d);
    }
}

TEST(AddPoint, RegistersXYZInOrderWithTheDefaultsCopied) {
    RecordingParamHost host;
    Vec3 centre{9.0f, 9.0f, 9.0f};
    addPoint(&host, "axis x", &centre, Vec3{5.0f, -0.25f, 0.0f});
    ASSERT_EQ(host.calls.size(), 3u);
    const char* names[] = {"axis x [p3x]", "axis x [p3y]", "axis x [p3z]"};
    float* addresses[] = {&centre.x, &centre.y, &centre.z};
    const float defaults[] = {5.0f, -0.25f, 0.0f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(host.calls[i].name, names[i]);
        EXPECT_EQ(host.calls[i].value, addresses[i]);
        EXPECT_EQ(host.calls[i].initial, defaults[i]);
    }
}

// A host that kept the name pointer instead of copying the text would see
// every earlier name of the same kind overwritten by the latest one.
TEST(NameBuffers, OneBufferPerKindSharedByEveryRegistration) {
    RecordingParamHost host;
    float a, b, on, off, p[3], q[3] = {0, 0, 0};
    addScalar(&host, "speed", &a, 0.0f);
    addScalar(&host, "phase", &b, 0.0f);
    addBool(&host, "on mesh", &on, true);
    addBool(&host, "uniform scale", &off, false);
    addPoint(&host, "center", p, q);
    addBare(&host, "range multiply", &a, 0.2f);
    const char* expected[] = {"speed [s]",    "phase [s]",    "on mesh [b]",  "uniform scale [b]",
                              "center [p3x]", "center [p3y]", "center [p3z]", "range multiply"};
    ASSERT_EQ(host.calls.size(), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(host.calls[i].name, expected[i]);
    EXPECT_EQ(host.calls[2].initial, 1.0f);
    EXPECT_EQ(host.calls[3].initial, 0.0f);
    EXPECT_EQ(host.calls[7].initial, 0.2f);  // bare values are not mapped
    EXPECT_EQ(host.calls[0].buffer, host.calls[1].buffer);
    EXPECT_STREQ(host.calls[0].buffer, "phase [s]");
    EXPECT_EQ(host.calls[2].buffer, host.calls[3].buffer);
    EXPECT_EQ(host.calls[4].buffer, host.calls[6].buffer);
    EXPECT_NE(host.calls[0].buffer, host.calls[2].buffer);
    EXPECT_NE(host.calls[0].buffer, host.calls[4].buffer);
    EXPECT_NE(host.calls[2].buffer, host.calls[4].buffer);
}

TEST(Flag, OnFromOneHalfAndOffForNaN) {
    const struct { float v; bool on; } cases[] = {
        {0.0f, false}, {0.49f, false}, {std::nextafter(0.5f, 0.0f), false}, {0.5f, true},
        {1.0f, true},  {std::numeric_limits<float>::quiet_NaN(), false}};
    for (const auto& c : cases) EXPECT_EQ(isOn(c.v), c.on) << c.v;
}
