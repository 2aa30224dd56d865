// Translate from spline: moves the particles and the mesh along one curve
// of the host's current spline, evenly resampled; the travelling point goes
// on to the next curve past the end and to the previous one before the start.
#pragma once

#include "deformers/fx_deformer.h"
#include "deformers/time_step_effect.h"
#include "effects/translate_from_spline/translate_from_spline_rule.h"
#include "scene/exp_range.h"
#include "scene/phase_speed.h"
#include "scene/vec_math.h"

extern const ExpRange kSampleCountCurve;  // (1.0, 16.0, 128.0): the number of samples along the path

class GenericTranslateFromSpline
    : public FxDeformer<FxTimeStepEffect, GenericTranslateFromSpline> {
public:
    ~GenericTranslateFromSpline();

    bool FX_THISCALL init(uint32_t, uint32_t) override;
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    bool FX_THISCALL process(FxHostData* host) override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    HostVector<Vec3> samples{};    // the followed curve, resampled; owned here
    int32_t curveIndex;
    PhaseSpeed travel;             // one turn is one whole curve
    float precision;               // "precision": the sample count
    TranslateFromSplineRule rule;  // the offset: the sample being followed, kept from frame to frame

private:
    void follow(const Spline& spline);
};
