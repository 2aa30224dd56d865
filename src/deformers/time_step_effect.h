// The base of the effects that animate by themselves: it turns the host's
// absolute times into a time step.
#pragma once

#include "fx/abi.h"

class FxTimeStepEffect : public FxEffect {
public:
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;

    float timeStep;  // never zero or negative after an update (NaN kept)
    float lastTime;

protected:
    FxTimeStepEffect() = default;
    ~FxTimeStepEffect() = default;
    void resetClock() { lastTime = 0.0f; }
    void stepTime(float time);
};
