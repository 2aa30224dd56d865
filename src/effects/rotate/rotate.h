// Rotate: turns every point about a user axis through a user centre by an
// angle that grows with time, offset by a phase.
#pragma once

#include "deformers/fx_deformer.h"
#include "deformers/time_step_effect.h"
#include "effects/rotate/rotate_rule.h"
#include "scene/phase_speed.h"
#include "scene/vec_math.h"

class GenericRotate : public FxDeformer<FxTimeStepEffect, GenericRotate> {
public:
    bool FX_THISCALL init(uint32_t, uint32_t) override;
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    bool FX_THISCALL draw() override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    void beginPass();

    Vec3 center, previousCenter;
    Vec3 axis;  // the axis end point, an absolute position
    PhaseSpeed spin;

    RotateRule rule;  // filled by beginPass
};
