#include "scene/phase_speed.h"

#include <cmath>

#include "plugin/param_registration.h"

void PhaseSpeed::addParams(FxParamHost* host, float speedDefault, float phaseDefault) {
    addScalar(host, "speed", &speed, speedDefault);
    addScalar(host, "phase", &phase, phaseDefault);
}

void PhaseSpeed::advance(float timeStep, float gain) {
    const float s = float(2.0 * speed - 1.0);
    if (s == 0.0f) return;
    float r = float(double(speedMapping->value(std::fabs(s))) * gain);
    if (s < 0.0f) r = -r;
    accumulator = float(accumulator + double(r) * timeStep);
}

void PhaseSpeed::wrap(float low, float high) {
    const float range = high - low;
    // A clock that jumped by many turns (a huge time step) would take too
    // many single-turn steps, and beyond 2^24 a step no longer changes the
    // float; the remainder gives the same place. An infinite clock has no
    // place in the turn and starts again at low.
    constexpr int kStepsBeforeRemainder = 64;
    if (std::isinf(accumulator)) accumulator = low;
    int steps = 0;
    while (accumulator < low && ++steps <= kStepsBeforeRemainder) accumulator += range;
    while (accumulator > high && ++steps <= kStepsBeforeRemainder) accumulator -= range;
    if (steps > kStepsBeforeRemainder) {
        // Where the single steps stop: below low they end in [low, high),
        // above high in (low, high], so a whole number of turns gives high.
        const bool fromAbove = accumulator > high;
        float r = float(std::fmod(double(accumulator) - low, double(range)));
        if (r < 0.0f || (r == 0.0f && fromAbove)) r += range;
        accumulator = low + r;
    }
}

float PhaseSpeed::value(float scale) const {
    return float((2.0 * phase - 1.0) * scale + accumulator);
}
