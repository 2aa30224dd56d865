// Translate through the plug-in.
#include "effect_harness.h"

namespace {
[[maybe_unused]] const bool kExpected = expect<GenericTranslate>({
    .description = "Translates the points of 3d objects.",
    .params = kDataFlags + Params{{"origin [p3]", 0, 0, 0}, {"translation [p3]", 0, 10, 0}},
    .frames = {
        {{}, {1, 2, 3}, {1, 12, 2}, 0, 1, {{"origin [p3]", 0, 0, -1}}},  // the origin drags the translation
        {{{"translation [p3]", kNaN, 1, 0}}, {1, 2, 3}, {1, 2, 3}, 0},  // no place: stays
    },
    .draws = true, .gizmo = nullptr,
});
}  // namespace
