// Magnet: the points inside a sphere about "position" are pulled towards the
// centre or pushed out towards the surface; the surface passes through the
// point "range", its radius scaled by "range multiply".
#pragma once

#include "deformers/fx_deformer.h"
#include "effects/magnet/magnet_rule.h"
#include "scene/exp_range.h"
#include "scene/vec_math.h"

extern const ExpRange kMagnetPowerCurve;  // (0.01, 1.0, 25.0): the attraction power

class GenericMagnet : public FxDeformer<FxEffect, GenericMagnet> {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    bool FX_THISCALL draw() override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    // |radius| depends only on a field, so one evaluation per pass is exact.
    void beginPass() {
        rule.position = position;
        rule.reach = std::fabs(double(rule.radius));
    }

    Vec3 position;          // "position": the centre
    Vec3 previousPosition;  // position at start or at the last update that saw it move
    Vec3 rangePoint;        // "range": a point on the surface
    float intensity;        // "intensity": the power control
    float rangeMultiply;    // "range multiply": factor on the radius
    MagnetRule rule;        // the radius and the power filled by update, the centre and |radius| by beginPass
};
