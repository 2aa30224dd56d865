// Rotate: turns every point about a user axis through a user centre by an
// angle that grows with time, offset by a phase.
#pragma once

#include "deformers/fx_deformer.h"
#include "deformers/time_step_effect.h"
#include "effects/batch_rules.h"
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
    Vec3 movePoint(const Vec3& p) const {
        if (pass.still) return p;
        return sum(transformPoint(pass.rotation, difference(p, center)), center);
    }
    void movePoints(const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) const {
        batchRules().rotate(pass, in, out, stride, n, lengths);
    }

    Vec3 center, previousCenter;
    Vec3 axis;  // the axis end point, an absolute position
    PhaseSpeed spin;

    RotateRule pass;  // read by movePoint and movePoints, filled by beginPass
};
