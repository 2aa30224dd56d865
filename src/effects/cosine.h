// Cosine: displaces every point along the axes of the user frame by a
// cosine (or tangent) wave of its world coordinates, running with time.
#pragma once

#include <cmath>

#include "deformers/axis_frame_effect.h"
#include "deformers/fx_deformer.h"
#include "effects/batch_rules.h"
#include "scene/exp_range.h"
#include "scene/phase_speed.h"
#include "scene/scalar_math.h"
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
    float wave(float coordinate, float spatial) const {
        const double x = double(spatial) * coordinate + pass.timePhase;
        return float(pass.tangent ? fxmath::tan(x) : fxmath::cos(x));
    }
    Vec3 movePoint(const Vec3& p) const {
        const Vec3 d = difference(p, center());
        const Vec3 l{dot(d, pass.ex), dot(d, pass.ey), dot(d, pass.ez)};
        const Vec3 w{wave(p.x, pass.spatial[0]), wave(p.y, pass.spatial[1]), wave(p.z, pass.spatial[2])};
        return transformPoint(pass.frame, sum(l, scaled(w, pass.k)));
    }
    void movePoints(const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) const {
        batchRules().cosine(pass, in, out, stride, n, lengths);
    }

    PhaseSpeed animation;  // "speed", "phase"
    float intensity;
    float freqX, freqY, freqZ;  // bare parameters "frequence x", "frequence y", "frequence z"
    float previousFreqX, previousFreqY, previousFreqZ;
    float uniformFreq;
    float previousUniformFreq;
    float useTan;

    // Per pass: everything the rule reads that depends only on the parameters.
    CosineRule pass;
};
