// Twist: turns every point about the frame's first axis by an angle that
// grows with the point's height along it, plus a running and a fixed offset.
#pragma once

#include <cmath>

#include "deformers/axis_frame_effect.h"
#include "deformers/fx_deformer.h"
#include "effects/batch_rules.h"
#include "scene/exp_range.h"
#include "scene/phase_speed.h"
#include "scene/scalar_math.h"
#include "scene/vec_math.h"

extern const ExpRange kTwistRateCurve;  // (0.00001, 0.5, 6.0): the twist rate

class GenericTwist : public FxDeformer<FxAxisFrameEffect, GenericTwist> {
public:
    bool FX_THISCALL init(uint32_t, uint32_t) override;
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    bool FX_THISCALL draw() override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    void beginPass();
    Vec3 movePoint(const Vec3& p) const {
        const Vec3& c = center();
        const Vec3 d = difference(p, c);
        const float a = dot(d, dirX), b = dot(d, dirY), h = dot(d, dirZ);
        const float theta = float(pass.turnAngle + fxmath::atan2(double(h), double(b)) + double(a) * twistRate);
        const float r = float(std::sqrt(double(h) * h + double(b) * b));
        const Vec3 onAxis = sum(c, scaled(dirX, a));
        const Vec3 turned = sum(onAxis, scaled(scaled(dirY, r), float(fxmath::cos(double(theta)))));
        return sum(turned, scaled(scaled(dirZ, r), float(fxmath::sin(double(theta)))));
    }
    void movePoints(const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths) const {
        batchRules().twist(pass, in, out, stride, n, lengths);
    }

    PhaseSpeed rotation;  // "rotate speed", "rotate phase"
    float frequency;
    float twistRate;  // radians per unit of height; never exactly 0
    Vec3 dirX, dirY, dirZ;
    TwistRule pass;    // per pass: the frame, the rate and the rotation clock's angle
};
