// Cosine: displaces every point along the axes of the user frame by a
// cosine (or tangent) wave of its world coordinates, running with time.
#pragma once

#include "deformers/axis_frame_effect.h"
#include "deformers/fx_deformer.h"
#include "effects/cosine/cosine_rule.h"
#include "scene/exp_range.h"
#include "scene/phase_speed.h"
#include "scene/vec_math.h"

extern const ExpRange kCosineFrequencyCurve;  // (0.0, 0.5, 5.0): the spatial frequencies of the cosine wave
extern const ExpRange kTangentFrequencyCurve;  // (0.0, 0.1, 0.35): the spatial frequencies of the tangent wave
extern const ExpRange kCosineIntensityCurve;  // (0.0, 1.0, 5.0): the intensity

class GenericCosine : public FxDeformer<FxAxisFrameEffect, GenericCosine> {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    void beginPass();

    PhaseSpeed animation;  // "speed", "phase"
    float intensity;
    float freqX, freqY, freqZ;  // bare parameters "frequence x", "frequence y", "frequence z"
    float previousFreqX, previousFreqY, previousFreqZ;
    float uniformFreq;
    float previousUniformFreq;
    float useTan;

    // Per pass: everything the rule reads that depends only on the parameters.
    CosineRule rule;
};
