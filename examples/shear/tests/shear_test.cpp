// Shear's rule, and what the tests of every effect hold it to.
#include "effect_harness.h"
#include "float_agreement.h"

namespace {
[[maybe_unused]] const bool kExpected = expect<GenericShear>({
    .description = "Shears the points of 3d objects.",
    .params = kDataFlags + Params{{"amount", 0.5f}, {"height", 0}},
    .frames = {
        {{}, {1, 2, 3}, {2, 2, 3}, 0},
        {{{"amount", -2}, {"height", 4}}, {1, 2, 3}, {5, 2, 3}, 0},
        {{}, {1, 2, 3}, {-2, 2, 3}, 0, 1, {{"amount", 1.5f}, {"height", 4}}},  // edited after the start
    },
});
}  // namespace

// x + amount (y - height) in double, rounded once; a point whose x would not be finite stays.
TEST(Shear, SlidesPointsAlongXByTheirHeight) {
    const struct { ShearRule rule; Vec3 p, want; } cases[] = {
        {{0.5f, 0}, {1, 2, 3}, {2, 2, 3}},
        {{0x1p-24f, -0x1p-26f}, {1, 1, 0}, {1 + 0x1p-23f, 1, 0}},  // 1 + 2^-24 + 2^-50 in double: up, not to even
        {{1, 1e30f}, {1, -1e30f, 0}, {-2e30f, -1e30f, 0}},
        {{1e30f, 0}, {0, 1e30f, 0}, {0, 1e30f, 0}},  // infinite: stays
        {{1, 0}, {0, kNaN, 0}, {0, kNaN, 0}},
    };
    for (const auto& c : cases) {
        const Vec3 got = movePoint(c.rule, c.p);
        EXPECT_TRUE(sameFloat(got.x, c.want.x) && sameFloat(got.y, c.want.y) && sameFloat(got.z, c.want.z))
            << &c - cases;
    }
}
