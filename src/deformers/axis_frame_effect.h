// The base of the effects that work in a frame the user places in the
// scene: a centre and three axis end points. Between frames it keeps the
// frame well-formed: the axes follow the centre, can share one length,
// can stay perpendicular (the whole frame turns with an edited axis) and
// can be held at length 5.
#pragma once

#include "deformers/time_step_effect.h"
#include "fx/abi.h"

class FxAxisFrameEffect : public FxTimeStepEffect {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    bool FX_THISCALL draw() override;

    const Vec3& center() const { return frame[0]; }
    const Vec3& axisX() const { return frame[1]; }
    const Vec3& axisY() const { return frame[2]; }
    const Vec3& axisZ() const { return frame[3]; }

    float orthogonal;    // flag: keep the axes perpendicular
    float enableScale;   // flag: off holds every axis at length 5
    float uniformScale;  // flag: keep the axes at one common length
    Vec3 frame[4];       // centre, then the end points of axis x, y, z
    float previousOrthogonal;
    float previousUniformScale;
    Vec3 previousFrame[4];  // the frame as the last update (or start) left it

protected:
    FxAxisFrameEffect() = default;
    ~FxAxisFrameEffect() = default;

    // "center" (0, 0, 0) and the three axis end points with the given defaults.
    void addFramePoints(FxParamHost* host, Vec3 endX, Vec3 endY, Vec3 endZ);
    // The frame upkeep; effects run it right after the time step of their update.
    void updateFrame();
    // Turns the previous axis vectors p by the mean rotation that carries each
    // changed axis from p to r; each r then takes its turned p at its own length.
    static void reframe(Vec3 (&r)[3], const Vec3 (&p)[3], const bool (&changed)[3]);

private:
    void evenLengths(bool uniformToggled, const bool (&changed)[3]);
    void orthogonalizeAxes();
};

#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(FxAxisFrameEffect, orthogonal) == 20 && offsetof(FxAxisFrameEffect, frame) == 32 &&
              offsetof(FxAxisFrameEffect, previousOrthogonal) == 80 &&
              offsetof(FxAxisFrameEffect, previousFrame) == 88 && sizeof(FxAxisFrameEffect) == 136);
#pragma GCC diagnostic pop
#endif
