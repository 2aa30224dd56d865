// Shear: slides every point along x in proportion to its height.
#pragma once

#include "deformers/fx_deformer.h"
#include "effects/shear/shear_rule.h"

class GenericShear : public FxDeformer<FxEffect, GenericShear> {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    void beginPass() { rule = {amount, height}; }

    float amount;    // "amount": x gained per unit of height
    float height;    // "height": the height at which points stay
    ShearRule rule;  // per pass: the two parameters
};
