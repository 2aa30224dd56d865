// The animation clock of the animated effects: a signed speed, a phase
// offset and an accumulator counted in turns.
#pragma once

#include "fx/abi.h"
#include "scene/exp_range.h"

struct PhaseSpeed {
    float speed = 0.0f;  // 2 speed - 1 is the signed speed; 0.5 stands still
    float phase = 0.0f;  // 2 phase - 1 is the offset
    const ExpRange* speedMapping = &kStandardSpeedCurve;
    float accumulator = 0.0f;  // turns

    // Registers "speed" then "phase" as scalars with the given signed defaults.
    void addParams(FxParamHost* host, float speedDefault, float phaseDefault);
    // Adds the signed rate times gain times the step; speed 0.5 stands still.
    void advance(float timeStep, float gain);
    // Brings the accumulator back into [low, high] by whole ranges: a value
    // equal to high stays high, a NaN stays NaN, an infinite one becomes low.
    void wrap(float low, float high);
    // (2 phase - 1) scale + accumulator, not wrapped.
    float value(float scale) const;
};
