// Magnet: the points inside a sphere about "position" are pulled towards the
// centre or pushed out towards the surface; the surface passes through the
// point "range", its radius scaled by "range multiply".
#pragma once

#include <cmath>

#include "deformers/fx_deformer.h"
#include "effects/batch_rules.h"
#include "scene/exp_range.h"
#include "scene/scalar_math.h"
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
    void beginPass() { pass = {position, radius, radiusSquared, power, std::fabs(double(radius))}; }

    // A point inside the sphere moves to the normalised distance t^power along
    // its direction from the centre. A negative radius acts as its magnitude,
    // the sphere the gizmo shows; a point whose moved place would not be
    // finite keeps its place.
    Vec3 movePoint(const Vec3& p) const {
        if (radius == 0.0f) return p;
        const Vec3 d = difference(p, position);
        const float q = dot(d, d);
        if (!(q < radiusSquared)) return p;
        const float t = float(std::sqrt(double(q)) / pass.reach);
        Vec3 e = scaled(d, float(fxmath::pow(double(t), double(power))));
        divide(e, t);
        const Vec3 moved = sum(position, e);
        return isFinite(moved) ? moved : p;
    }
    void movePoints(const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) const {
        batchRules().magnet(pass, in, out, stride, n, lengths);
    }

    Vec3 position;          // "position": the centre
    Vec3 previousPosition;  // position at start or at the last update that saw it move
    Vec3 rangePoint;        // "range": a point on the surface
    float intensity;        // "intensity": the power control
    float rangeMultiply;    // "range multiply": factor on the radius
    float power;            // written by update
    float radius;           // written by update
    float radiusSquared;    // written by update
    MagnetRule pass;        // per pass: the sphere, the power and |radius|
};
