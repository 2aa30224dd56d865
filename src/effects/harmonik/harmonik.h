// Harmonik: scales every point by a travelling spherical-harmonic pattern
// of its azimuth and polar angle about a centre.
#pragma once

#include "deformers/fx_deformer.h"
#include "deformers/time_step_effect.h"
#include "effects/harmonik/harmonik_rule.h"
#include "scene/exp_range.h"
#include "scene/phase_speed.h"
#include "scene/vec_math.h"

extern const ExpRange kAngleFrequencyCurve;  // (0.0, 5.0, 50.0): the angle frequencies
extern const ExpRange kExtremizerGainCurve;  // (0.0, 5.0, 80.0): the extremizer gain

class GenericHarmonik : public FxDeformer<FxTimeStepEffect, GenericHarmonik> {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    void beginPass();

    float intensity;  // 0.5: no deformation
    PhaseSpeed wave;
    float angleTeta, anglePhi, extremizer;
    Vec3 center;

    HarmonikRule rule;  // the scales filled by update, the rest by beginPass
};
