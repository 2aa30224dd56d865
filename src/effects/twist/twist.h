// Twist: turns every point about the frame's first axis by an angle that
// grows with the point's height along it, plus a running and a fixed offset.
#pragma once

#include "deformers/axis_frame_effect.h"
#include "deformers/fx_deformer.h"
#include "effects/twist/twist_rule.h"
#include "scene/exp_range.h"
#include "scene/phase_speed.h"
#include "scene/vec_math.h"

extern const ExpRange kTwistRateCurve;  // (0.00001, 0.5, 6.0): the twist rate

class GenericTwist : public FxDeformer<FxAxisFrameEffect, GenericTwist> {
public:
    bool FX_THISCALL init(uint32_t, uint32_t) override;
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    bool FX_THISCALL draw() override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    void beginPass();

    PhaseSpeed rotation;  // "rotate speed", "rotate phase"
    float frequency;
    TwistRule rule;  // the axes and the rate filled by update, the centre and the clock's angle by beginPass
};
