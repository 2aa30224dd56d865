#include "effects/rotate/rotate.h"

#include <cmath>

#include "effects/follow_handle.h"
#include "gizmo/gizmo.h"
#include "scene/exp_range.h"
#include "scene/scalar_math.h"

bool GenericRotate::init(uint32_t, uint32_t) {
    spin.speedMapping = &kWideSpeedCurve;
    return true;
}

void GenericRotate::registerParams(FxParamHost* host) {
    registerDataFlags(host);
    spin.addParams(host, 0.5f, 0.0f);
    addPoint(host, "center", &center, {0.0f, 0.0f, 0.0f});
    addPoint(host, "axis", &axis, {0.0f, 10.0f, 0.0f});
}

bool GenericRotate::start(uint32_t) {
    spin.accumulator = 0.0f;
    previousCenter = center;
    resetClock();
    return true;
}

void GenericRotate::update(float time) {
    stepTime(time);
    // A moved centre carries the axis end point along: the direction stays.
    followHandle(center, previousCenter, axis);
    spin.advance(timeStep, 1.0f);
    spin.wrap(0.0f, 1.0f);
}

namespace {
// The spin's angle in radians; the phase offsets it by up to half a turn.
double angleOf(const PhaseSpeed& spin) { return double(kTurn) * spin.value(0.5f); }
}  // namespace

void GenericRotate::beginPass() {
    // Axis, angle and matrix read only fields: one evaluation per pass gives the same floats.
    const Vec3 d = difference(axis, center);
    rule.still = d.x == 0.0f && d.y == 0.0f && d.z == 0.0f;
    rule.center = center;
    rotationAboutAxis(rule.rotation, normalized(d), float(angleOf(spin)));
}

bool GenericRotate::draw() {
    Vec3 d = difference(axis, center);
    const float q = lengthSquared(d);
    if (q != 0.0f) divide(d, float(std::sqrt(double(q))));
    Vec3 u, v;
    perpendicularPair(d, u, v);
    // Half the angle: the quaternion turns u and v about d by the full one.
    const float h = float(angleOf(spin) * 0.5);
    const double sh = fxmath::sin(double(h));
    const Quat turn{float(d.x * sh), float(d.y * sh), float(d.z * sh), float(fxmath::cos(double(h)))};
    const auto turned = [&turn](const Vec3& w) {
        const Quat r = multiply(multiply(turn, fromVector(w)), conjugate(turn));
        return Vec3{r.x, r.y, r.z};
    };
    drawAxes(center, d, scaled(turned(u), 10.0f), scaled(turned(v), 10.0f));
    drawAxisLine(d, center);
    return true;
}

const char* GenericRotate::description() { return "Rotates the points of 3d objects."; }
const char* GenericRotate::author() { return "Brisel"; }
