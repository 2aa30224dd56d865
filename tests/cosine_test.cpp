// Cosine through the plug-in: each coordinate c moves by cos(0.5 c) along
// its frame axis, by default; points worked out by hand.
#include <cmath>

#include "effect_harness.h"

namespace {
const float c5 = std::cos(0.5f);
const Param still{"speed [s]", 0.5f};  // the clock stands at 0: the time phase is -2 pi
const Vec3 p{1, 2, -3}, cosines{1 + c5, 2 + std::cos(1.0f), -3 + std::cos(1.5f)};
const float x = 0.31415927f, tanPhase = -0.062831855f;  // the tangent's time phase at clock value 0

[[maybe_unused]] const bool kExpected = expect<GenericCosine>({
    .description = "FIXME",
    .params = kAxisFrame + kDataFlags + kSpeedPhase +
              Params{{"intensity [s]", 0.75f}, {"frequence x", 0.5f}, {"frequence y", 0.5f}, {"frequence z", 0.5f},
                     {"uniform freq [b]", 1}, {"use tan [b]", 0}},
    .frames = {
        {{}, p, cosines, 1e-4, 5},  // after one whole turn
        {{still}, {0, 0, 0}, {1, 1, 1}},
        // a shifted frame: the waves still read world coordinates
        {{still, {"center [p3]", 1, 0, 0}, {"axis x [p3]", 6, 0, 0}, {"axis y [p3]", 1, 5, 0}, {"axis z [p3]", 1, 0, 5}},
         p, cosines},
        {{}, p, {1 - std::sin(0.5f), 2 - std::sin(1.0f), -3 + std::sin(1.5f)}, 1e-4, 1.25f},  // a quarter turn on
        {{still, {"intensity [s]", 1}}, {0, 0, 0}, {5, 5, 5}},
        {{still, {"intensity [s]", 0}}, {0, 0, 0}, {-5, -5, -5}},
        {{still, {"intensity [s]", 0.5f}, {"uniform scale [b]", 0}, {"axis x [p3]", 10, 0, 0}}, {1, 2, 3}, {2, 2, 3}},
        {{still, {"intensity [s]", 0.5f}, {"orthogonal [b]", 0}, {"uniform scale [b]", 0}, {"axis y [p3]", 3, 4, 0}},
         {0, 1, 0}, {0.48f, 0.64f, 0}},  // skewed y
        {{still, {"uniform freq [b]", 0}, {"frequence x", 1}, {"frequence y", 0}}, {x, 7, 1},
         {x + std::cos(5 * x), 8, cosines.x}},
        {{still, {"use tan [b]", 1}}, p,
         {1 + std::tan(0.1f + tanPhase), 2 + std::tan(0.2f + tanPhase), -3 + std::tan(-0.3f + tanPhase)}},
    },
    .gizmo = "begin(1) color(0.9,0.1,0.1) vertex(0,0,0) vertex(5,0,0) color(0.1,0.9,0.1) vertex(0,0,0) "
             "vertex(0,5,0) color(0.1,0.1,0.9) vertex(0,0,0) vertex(0,0,5) end ",
    .agreement = {{"", [](const RecordingParamHost& params, int) { params["use tan [b]"] = 0; }},
                  {"+tan", [](const RecordingParamHost& params, int) { params["use tan [b]"] = 1; }}},
});
}  // namespace
