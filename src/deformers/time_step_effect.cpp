#include "deformers/time_step_effect.h"

bool FxTimeStepEffect::start(uint32_t) {
    resetClock();
    return true;
}

void FxTimeStepEffect::update(float time) { stepTime(time); }

// A repeated or rewound time gives a tiny positive step instead of zero or
// a negative one; a NaN difference is kept.
void FxTimeStepEffect::stepTime(float time) {
    const float d = float(double(time) - lastTime);
    timeStep = (d <= 0.0f) ? 0.000001f : d;
    lastTime = time;
}
