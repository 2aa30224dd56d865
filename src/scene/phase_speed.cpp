#include "scene/phase_speed.h"

#include <cmath>

#include "scene/param_registration.h"
#include "scene/scalar_math.h"

void PhaseSpeed::addParams(FxParamHost* host, float speedDefault, float phaseDefault) {
    addScalar(host, "speed", &speed, speedDefault);
    addScalar(host, "phase", &phase, phaseDefault);
}

void PhaseSpeed::advance(float timeStep, float gain) {
    const float s = signedValue(speed);
    if (s == 0.0f) return;
    float r = float(double(speedMapping->value(std::fabs(s))) * gain);
    if (s < 0.0f) r = -r;
    // A NaN step (a NaN time or speed) would stop the clock for good: it is lost.
    const float moved = float(accumulator + double(r) * timeStep);
    if (!std::isnan(moved)) accumulator = moved;
}

namespace {
// Past this many single-turn steps (a clock that jumped many turns at once,
// or one too large for a step to change it) the remainder finishes the job.
constexpr int kMaxSteps = 64;

// Where the remaining steps would end: x - low reduced into [0, range), or
// into (0, range] for a clock coming down from above high, so that a whole
// number of turns above high ends on high, as the steps themselves do.
float remainderFrom(float x, float low, float range, bool fromAbove) {
    double r = fxmath::fmod(double(x) - low, double(range));
    if (r < 0.0) r += range;
    if (fromAbove && r == 0.0) r = range;
    return float(low + r);
}
}  // namespace

void PhaseSpeed::wrap(float low, float high) {
    const float range = float(double(high) - low);
    // No whole number of turns brings an infinite clock back: it restarts.
    if (std::isinf(accumulator)) accumulator = low;
    int steps = 0;
    while (accumulator < low) {
        if (++steps > kMaxSteps) {
            accumulator = remainderFrom(accumulator, low, range, false);
            break;
        }
        accumulator = float(double(accumulator) + range);
    }
    while (accumulator > high) {
        if (++steps > kMaxSteps) {
            accumulator = remainderFrom(accumulator, low, range, true);
            break;
        }
        accumulator = float(double(accumulator) - range);
    }
}

float PhaseSpeed::value(float scale) const {
    return float((2.0 * phase - 1.0) * scale + accumulator);
}
