#include "effects/twist/twist.h"

#include "gizmo/gizmo.h"
#include "scene/param_registration.h"

constinit const ExpRange kTwistRateCurve{0.00001f, 0.5f, 6.0f};

bool GenericTwist::init(uint32_t, uint32_t) {
    rotation.speedMapping = &kWideSpeedCurve;
    return true;
}

// The frame set without "enable scale", which stays on: Twist's axes are
// never pulled back to length 5. By default the twist axis is world y.
void GenericTwist::registerParams(FxParamHost* host) {
    registerDataFlags(host);
    addScalar(host, "frequency", &frequency, 0.5f);
    addScalar(host, "rotate speed", &rotation.speed, 0.0f);
    addScalar(host, "rotate phase", &rotation.phase, 0.0f);
    addBool(host, "orthogonal", &orthogonal, true);
    addBool(host, "uniform scale", &uniformScale, true);
    addFramePoints(host, {0.0f, 5.0f, 0.0f}, {5.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 5.0f});
    enableScale = 1.0f;
}

bool GenericTwist::start(uint32_t) {
    FxAxisFrameEffect::start(0);
    rotation.accumulator = 0.0f;
    return true;
}

void GenericTwist::update(float time) {
    stepTime(time);
    updateFrame();
    rotation.advance(timeStep, 1.0f);
    rotation.wrap(0.0f, 1.0f);
    const Vec3& c = center();
    rule.dirX = normalized(difference(axisX(), c));
    rule.dirY = normalized(difference(axisY(), c));
    rule.dirZ = normalized(difference(axisZ(), c));
    // The curve's floor keeps the rate off zero even at frequency 0.5.
    const float f = float(2.0 * frequency - 1.0);
    rule.twistRate = kTwistRateCurve.value(std::fabs(f));
    if (frequency < 0.5f) rule.twistRate = -rule.twistRate;
}

// The product of two floats is exact in double, so one evaluation per pass
// gives every point the same angle term.
void GenericTwist::beginPass() {
    rule.center = center();
    rule.turnAngle = double(kTurn) * rotation.value(0.5f);
}

bool GenericTwist::draw() {
    drawAxisLine(difference(axisX(), center()), center());
    return FxAxisFrameEffect::draw();
}

const char* GenericTwist::description() { return "Twists points of current 3d objects."; }
const char* GenericTwist::author() { return "Brisel"; }
