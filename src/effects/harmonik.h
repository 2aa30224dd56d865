// Harmonik: scales every point by a travelling spherical-harmonic pattern
// of its azimuth and polar angle about a centre.
#pragma once

#include <cmath>

#include "deformers/fx_deformer.h"
#include "deformers/time_step_effect.h"
#include "effects/batch_rules.h"
#include "scene/exp_range.h"
#include "scene/phase_speed.h"
#include "scene/scalar_math.h"
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
    Vec3 movePoint(const Vec3& p) const {
        const Vec3 d = difference(p, center);
        const float azimuth = float(fxmath::atan2(double(d.z), double(d.x)));
        const float polar = float(fxmath::atan2(std::sqrt(double(d.x) * d.x + double(d.z) * d.z), double(d.y)));
        const float a = float(double(pass.tetaFrequency) * azimuth);
        const float b = float(double(pass.phiFrequency) * polar);
        float f = float((fxmath::sin(pass.wavePhase + b + a) + 1.0) * 0.5);
        if (pass.extremized)
            f = float(f + double(pass.extremizerGain) * (fxmath::sin(double(a)) + fxmath::sin(double(b)) + 1.0) * 0.5);
        return scaled(p, float(troughScale + pass.scaleSpan * f));
    }
    void movePoints(const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) const {
        batchRules().harmonik(pass, in, out, stride, n, lengths);
    }

    float intensity;  // 0.5: no deformation
    PhaseSpeed wave;
    float angleTeta, anglePhi, extremizer;
    Vec3 center;
    float troughScale, crestScale;  // the scale where the pattern is 0 and 1

    HarmonikRule pass;  // read by movePoint and movePoints, filled by beginPass
};
