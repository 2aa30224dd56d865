#include "effect_harness.h"

namespace {
[[maybe_unused]] const bool kExpected = expect<GenericHarmonik>({
    .description = "Deforms points of current 3d objects in a spherical harmonikal way.",
    .params = kDataFlags + Params{{"intensity [s]", 0.6f}} + kSpeedPhase +
              Params{{"angle teta", 0.5f}, {"angle phi", 0.5f}, {"extremizer", 0}, {"center [p3]", 0, 0, 0}},
    .frames = {{{}, {0, 2, 0}, {0, 1.6097887f, 0}, 1e-5},  // scaled by 1 - 0.2 (sin(0.4 pi) + 1) / 2
               {{{"extremizer", -0.5f}}, {0, 2, 0}, {0, 1.6097887f, 0}, 1e-5}},  // below 0 it is off
});
}  // namespace
