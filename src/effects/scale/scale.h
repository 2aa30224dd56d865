// Scale: every point's coordinates are multiplied by three per-axis factors,
// each lowered by the matching coordinate of "origin".
#pragma once

#include "deformers/fx_deformer.h"
#include "effects/scale/scale_rule.h"
#include "effects/uniform_scale.h"
#include "scene/vec_math.h"

class GenericScale : public FxDeformer<FxEffect, GenericScale> {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    // The factors depend only on the parameters, so one evaluation per pass
    // gives the same floats as one per point.
    void beginPass() { rule.gain = difference(sizes.factors(), origin); }

    Vec3 origin;     // "origin": subtracted from the factors, not from the points
    UniformScale sizes;
    ScaleRule rule;  // factors - origin, for the current pass
};
