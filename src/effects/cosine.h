// Cosine: displaces every point along the axes of the user frame by a
// cosine (or tangent) wave of its world coordinates, running with time.
#pragma once

#include <cmath>

#include "deformers/axis_frame_effect.h"
#include "deformers/fx_deformer.h"
#include "scene/phase_speed.h"
#include "scene/vec_math.h"

class GenericCosine final : public FxDeformer<FxAxisFrameEffect, GenericCosine> {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    void beginPass();
    float wave(float coordinate, float spatial) const {
        const double x = double(spatial) * coordinate + timePhase;
        return float(tangent ? std::tan(x) : std::cos(x));
    }
    Vec3 movePoint(const Vec3& p) const {
        const Vec3 d = difference(p, center());
        const Vec3 l{dot(d, ex), dot(d, ey), dot(d, ez)};
        const Vec3 w{wave(p.x, spatialX), wave(p.y, spatialY), wave(p.z, spatialZ)};
        return transformPoint(frameToWorld, sum(l, scaled(w, k)));
    }

    PhaseSpeed animation;  // "speed", "phase"
    float intensity;
    float freqX, freqY, freqZ;  // bare parameters "frequence x", "frequence y", "frequence z"
    float previousFreqX, previousFreqY, previousFreqZ;
    float uniformFreq;
    float previousUniformFreq;
    float useTan;

    // Per pass: everything the rule reads that depends only on the parameters.
    Mat4 frameToWorld;
    Vec3 ex, ey, ez;                     // the frame's unit axes
    float spatialX, spatialY, spatialZ;  // spatial frequencies
    double timePhase;                    // the clock's share of the wave's argument
    float k;                             // intensity factor
    bool tangent;
};
