#include <cmath>

#include "effect_harness.h"
#include "effects/uniform_scale.h"

namespace {
// x by 0.01 10000^size less the origin's x.
const Vec3 q{2, 3, -4};

[[maybe_unused]] const bool kExpected = expect<GenericScale>({
    .description = "Scales the points of 3d objects.",
    .params = kDataFlags + Params{{"origin [p3]", 0, 0, 0}, {"size x [s]", 0.5f}, {"size y [s]", 0.5f},
                                  {"size z [s]", 0.5f}, {"uniform [b]", 1}},
    .frames = {
        {{}, {1, 2, 3}, {10, 20, 30}, 2e-5, 1, {{"size z [s]", 0.75f}}},  // the link carries z to x and y
        {{}, q, q, 6e-6},
        {{{"size x [s]", 0.75f}}, q, {20, 3, -4}, 2.4e-5},
        {{{"origin [p3]", 1, 1, 1}}, q, {0, 0, 0}, 4e-6},
        {{{"size x [s]", 0.75f}, {"origin [p3]", 0.5f, -1, 0}}, q, {19, 6, -4}, 2.3e-5},
        {{{"size x [s]", kNaN}}, q, q, 6e-6},  // no factor: points stay
    },
});
}  // namespace

// Sizes and the uniform flag at start, then edited before an update, then
// the flag again before a second update. An edit while the link is on takes
// the first edited size, x before y before z.
TEST(Scale, UniformLinksTheSizes) {
    const float mean = float(std::log10(370.0) / 4), mean4 = float(std::log10(400.0) / 4);  // of 3.7 and 4
    struct Case {
        float before[3], after[3], flags[3], want[3];
    } cases[] = {
        {{0.25f, 0.5f, 0.75f}, {0.25f, 0.5f, 0.75f}, {0, 0, 1}, {mean, mean, mean}},  // switched on
        {{0.5f, 0.5f, 0.5f}, {0.75f, 0.5f, 0.5f}, {1, 0, 1}, {mean4, mean4, mean4}},  // off for the edit
        {{0.5f, 0.5f, 0.5f}, {0.3f, 0.2f, 0.9f}, {1, 1, 1}, {0.3f, 0.3f, 0.3f}},
        {{0.5f, 0.5f, 0.5f}, {0.5f, 0.2f, 0.9f}, {1, 1, 1}, {0.2f, 0.2f, 0.2f}},
        {{0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.9f}, {0.5f, 0.5f, 0.5f}, {0.9f, 0.9f, 0.9f}},  // 0.5 is on
        {{0.5f, 0.5f, 0.5f}, {0.75f, 0.5f, 0.5f}, {0.49f, 0.49f, 0.49f}, {0.75f, 0.5f, 0.5f}},
    };
    const auto sizes = [](const float (&s)[3], float uniform) {
        return Params{{"size x [s]", s[0]}, {"size y [s]", s[1]}, {"size z [s]", s[2]}, {"uniform [b]", uniform}};
    };
    for (const Case& c : cases) {
        Hosted<GenericScale> h(sizes(c.before, c.flags[0]));
        h.edit(sizes(c.after, c.flags[1]));
        h.fx->update(0.0f);
        h.edit({{"uniform [b]", c.flags[2]}});
        h.fx->update(0.0f);
        const Vec3 got{h.params["size x [s]"], h.params["size y [s]"], h.params["size z [s]"]};
        EXPECT_TRUE(near(got, {c.want[0], c.want[1], c.want[2]}, 1e-6)) << "case " << &c - cases;
    }
    RecordingParamHost prefixed;
    UniformScale{}.addParams(&prefixed, "rel ");
    EXPECT_EQ(prefixed.registrations()[1].name, "rel size y [s]");
}
