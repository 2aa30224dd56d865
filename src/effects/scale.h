// Scale: every point's coordinates are multiplied by three per-axis factors,
// each lowered by the matching coordinate of "origin".
#pragma once

#include "deformers/fx_deformer.h"
#include "effects/uniform_scale.h"
#include "scene/vec_math.h"

class GenericScale final : public FxDeformer<FxEffect, GenericScale> {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    // The factors depend only on the parameters, so one evaluation per pass
    // gives the same floats as one per point.
    void beginPass() { gain = difference(sizes.factors(), origin); }

    // A point whose moved place would not be finite keeps its place.
    Vec3 movePoint(const Vec3& p) const {
        const Vec3 moved{p.x * gain.x, p.y * gain.y, p.z * gain.z};
        return isFinite(moved) ? moved : p;
    }

    Vec3 origin;        // "origin": subtracted from the factors, not from the points
    UniformScale sizes;
    Vec3 gain;          // factors - origin, for the current pass
};
