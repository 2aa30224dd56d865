// Twist through the plug-in: by default half a radian per unit of height
// about world y, from +x towards +z; points worked out by hand.
#include <cmath>

#include "effect_harness.h"

namespace {
const float c5 = std::cos(0.5f), s5 = std::sin(0.5f);

[[maybe_unused]] const bool kExpected = expect<GenericTwist>({
    .description = "Twists points of current 3d objects.",
    .params = kDataFlags + Params{{"frequency [s]", 0.75f}, {"rotate speed [s]", 0.5f}, {"rotate phase [s]", 0.5f},
                                  {"orthogonal [b]", 1}, {"uniform scale [b]", 1}, {"center [p3]", 0, 0, 0},
                                  {"axis x [p3]", 0, 5, 0}, {"axis y [p3]", 5, 0, 0}, {"axis z [p3]", 0, 0, 5}},
    .frames = {
        {{}, {1, 1, 0}, {c5, 1, s5}, 1e-4, 5},
        {{}, {2, 0, 0}, {2, 0, 0}},
        {{}, {0, 2, 3}, {-3 * std::sin(1.0f), 2, 3 * std::cos(1.0f)}},
        {{{"frequency [s]", 0}}, {1, 1, 0}, {std::cos(6.0f), 1, -std::sin(6.0f)}},  // minus six radians
        {{{"rotate phase [s]", 1}}, {1, 1, 0}, {-c5, 1, -s5}},  // plus half a turn
        {{{"rotate phase [s]", 0}}, {1, 1, 0}, {-c5, 1, -s5}},  // minus half a turn
        // axis y along axis x: switching "orthogonal" on puts every axis, and every point, on the centre
        {{{"center [p3]", 1, 0, 0}, {"axis x [p3]", 1, 5, 0}, {"axis y [p3]", 1, 9, 0}}, {4, -5, 6}, {1, 0, 0}},
    },
    .gizmo = "begin(1) color(0.9,0.1,0.1) vertex(0,-100,0) vertex(0,100,0) end begin(1) color(0.9,0.1,0.1) "
             "vertex(0,0,0) vertex(0,5,0) color(0.1,0.9,0.1) vertex(0,0,0) vertex(5,0,0) color(0.1,0.1,0.9) "
             "vertex(0,0,0) vertex(0,0,5) end ",
});
}  // namespace
