// Scale: every point's coordinates are multiplied by three per-axis factors,
// each lowered by the matching coordinate of "origin".
#pragma once

#include "deformers/fx_deformer.h"
#include "effects/batch_rules.h"
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
    void beginPass() { pass.gain = difference(sizes.factors(), origin); }

    // A point whose moved place would not be finite keeps its place.
    Vec3 movePoint(const Vec3& p) const {
        const Vec3 moved{p.x * pass.gain.x, p.y * pass.gain.y, p.z * pass.gain.z};
        return isFinite(moved) ? moved : p;
    }
    void movePoints(const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) const {
        batchRules().scale(pass, in, out, stride, n, lengths);
    }

    Vec3 origin;        // "origin": subtracted from the factors, not from the points
    UniformScale sizes;
    ScaleRule pass;     // factors - origin, for the current pass
};
