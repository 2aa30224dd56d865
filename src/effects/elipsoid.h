// Elipsoid: every point keeps its distance from "center" and its two angles,
// but its direction becomes a superellipsoid direction whose sine and cosine
// terms are raised to signed powers.
#pragma once

#include <cmath>

#include "deformers/fx_deformer.h"
#include "effects/batch_rules.h"
#include "scene/exp_range.h"
#include "scene/scalar_math.h"
#include "scene/vec_math.h"

// v^e for positive v, -((-v)^e) otherwise: the sign survives the power.
inline double spow(double v, double e) { return v > 0.0 ? fxmath::pow(v, e) : -fxmath::pow(-v, e); }

extern const ExpRange kElipsoidExponentCurve;  // (0.1, 1.0, 8.0): the two exponents

class GenericElipsoid : public FxDeformer<FxEffect, GenericElipsoid> {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    // value() depends only on the parameter, so one evaluation per pass gives
    // the same float as one per point.
    void beginPass() {
        pass = {center, kElipsoidExponentCurve.value(powerTeta), kElipsoidExponentCurve.value(powerPhi)};
    }

    // Azimuth about y from the x axis towards z, polar angle from +y. A point
    // whose moved place would not be finite keeps its place.
    Vec3 movePoint(const Vec3& p) const {
        const Vec3 d = difference(p, center);
        const double xx = double(d.x) * d.x, zz = double(d.z) * d.z;
        const float r = float(std::sqrt(xx + double(d.y) * d.y + zz));
        const float azimuth = float(fxmath::atan2(double(d.z), double(d.x)));
        const float polar = float(fxmath::atan2(std::sqrt(xx + zz), double(d.y)));
        const double ring = spow(fxmath::sin(double(polar)), pass.exponentPhi);
        const Vec3 v{float(spow(fxmath::cos(double(azimuth)), pass.exponentTeta) * ring),
                     float(spow(fxmath::cos(double(polar)), pass.exponentPhi)),
                     float(spow(fxmath::sin(double(azimuth)), pass.exponentTeta) * ring)};
        const Vec3 moved = sum(center, scaled(v, r));
        return isFinite(moved) ? moved : p;
    }
    void movePoints(const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) const {
        batchRules().elipsoid(pass, in, out, stride, n, lengths);
    }

    Vec3 center;       // "center"
    float powerTeta;   // "power teta": exponent control of the azimuth terms
    float powerPhi;    // "power phi": exponent control of the polar terms
    ElipsoidRule pass;  // the exponents, for the current pass
};
