#include "effects/magnet/magnet.h"

#include <bit>

#include "effects/follow_handle.h"
#include "gizmo/gizmo.h"
#include "scene/gl.h"

constinit const ExpRange kMagnetPowerCurve{0.01f, 1.0f, 25.0f};

namespace {
// Distance from the centre to the range point, before "range multiply".
float rangeLength(const GenericMagnet& m) {
    return float(std::sqrt(double(lengthSquared(difference(m.rangePoint, m.position)))));
}
}  // namespace

void GenericMagnet::registerParams(FxParamHost* host) {
    registerDataFlags(host);
    addPoint(host, "position", &position, {0.0f, 0.0f, 0.0f});
    addPoint(host, "range", &rangePoint, {0.0f, 5.0f, 0.0f});
    addBare(host, "range multiply", &rangeMultiply, 1.0f);
    addScalar(host, "intensity", &intensity, 0.5f);
}

bool GenericMagnet::start(uint32_t) {
    previousPosition = position;
    return true;
}

// The time plays no part: the range point follows the centre, and power and
// radius are derived from the parameters for the passes that follow.
void GenericMagnet::update(float) {
    followHandle(position, previousPosition, rangePoint);
    rule.power = kMagnetPowerCurve.value(intensity);
    rule.radius = float(double(rangeLength(*this)) * rangeMultiply);
    rule.radiusSquared = float(double(rule.radius) * rule.radius);
}

bool GenericMagnet::draw() {
    glColor3f(0.9f, 0.8f, 0.1f);
    drawSphere(position, rangeLength(*this));
    // Any stored value other than the bits of 1.0 shows the scaled sphere.
    if (std::bit_cast<uint32_t>(rangeMultiply) != std::bit_cast<uint32_t>(1.0f)) {
        glColor3f(0.4f, 0.6f, 0.1f);
        drawSphere(position, rule.radius);
    }
    glColor3f(0.6f, 0.5f, 0.1f);
    glBegin(GL_LINES);
    glVertex3f(position.x, position.y, position.z);
    glVertex3f(rangePoint.x, rangePoint.y, rangePoint.z);
    glEnd();
    return true;
}

const char* GenericMagnet::description() { return "Attracts or repulses points of current 3d objects."; }
const char* GenericMagnet::author() { return "Brisel"; }
