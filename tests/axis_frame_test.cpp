#include <gtest/gtest.h>

#include "effects/cosine.h"
#include "frame_rig.h"

// Cosine registers the frame's own parameter set.
TEST(AxisFrame, KeepsTheFrameInShapeAcrossEdits) {
    struct Step {
        const char* what;
        Edits edits;
        Vec3 x, y, z;  // axis end points after the update
    };
    const float h = 5.656854f, q = 4.242641f, s = 3.535534f;  // 8, 6 and 5 times cos 45 degrees
    const Step steps[] = {
        {"start evens the lengths to their mean", {}, {4, 0, 0}, {0, 4, 0}, {0, 0, 4}},
        {"the axes follow the centre", {{"center [p3x]", 1}}, {5, 0, 0}, {1, 4, 0}, {1, 0, 4}},
        {"x dragged to length 8 sets every length", {{"axis x [p3x]", 9}}, {9, 0, 0}, {1, 8, 0}, {1, 0, 8}},
        {"uniform off: y shortens alone", {{"uniform scale [b]", 0}, {"axis y [p3y]", 3}},
         {9, 0, 0}, {1, 3, 0}, {1, 0, 8}},
        {"x turned 90 degrees about z takes y along", {{"axis x [p3x]", 1}, {"axis x [p3y]", 8}},
         {1, 8, 0}, {-2, 0, 0}, {1, 0, 8}},
        {"two edits turn by their mean rotation", {{"axis x [p3x]", 9}, {"axis x [p3y]", 0}, {"axis y [p3x]", -5}},
         {1 + h, h, 0}, {1 - q, q, 0}, {1, 0, 8}},
        {"enable scale off pulls every axis to 5", {{"enable scale [b]", 0}}, {1 + s, s, 0}, {1 - s, s, 0}, {1, 0, 5}},
        {"orthogonal off keeps a skewed axis, pulled back to 5",
         {{"orthogonal [b]", 0}, {"axis y [p3x]", 7}, {"axis y [p3y]", 8}},
         {1 + s, s, 0}, {4, 4, 0}, {1, 0, 5}},
        {"orthogonal on squares it against x", {{"orthogonal [b]", 1}}, {1 + s, s, 0}, {1 - s, s, 0}, {1, 0, 5}},
    };
    EffectRig<GenericCosine> rig({{"axis z [p3z]", 2}});
    rig.fx.start(0);
    float t = 0.0f;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        rig.apply(step.edits);
        rig.fx.update(t += 0.04f);
        expectNear(rig.params.point("axis x"), step.x);
        expectNear(rig.params.point("axis y"), step.y);
        expectNear(rig.params.point("axis z"), step.z);
    }
}
