// Elipsoid: every point keeps its distance from "center" and its two angles,
// but its direction becomes a superellipsoid direction whose sine and cosine
// terms are raised to signed powers.
#pragma once

#include "deformers/fx_deformer.h"
#include "effects/elipsoid/elipsoid_rule.h"
#include "scene/exp_range.h"
#include "scene/vec_math.h"

extern const ExpRange kElipsoidExponentCurve;  // (0.1, 1.0, 8.0): the two exponents

class GenericElipsoid : public FxDeformer<FxEffect, GenericElipsoid> {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    // value() depends only on the parameter, so one evaluation per pass gives
    // the same float as one per point.
    void beginPass() {
        rule = {center, kElipsoidExponentCurve.value(powerTeta), kElipsoidExponentCurve.value(powerPhi)};
    }

    Vec3 center;        // "center"
    float powerTeta;    // "power teta": exponent control of the azimuth terms
    float powerPhi;     // "power phi": exponent control of the polar terms
    ElipsoidRule rule;  // the centre and the exponents, for the current pass
};
