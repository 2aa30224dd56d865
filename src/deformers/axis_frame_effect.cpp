#include "deformers/axis_frame_effect.h"

#include <cmath>
#include <cstring>

#include "gizmo/gizmo.h"
#include "scene/param_registration.h"
#include "scene/scalar_math.h"
#include "scene/vec_math.h"

namespace {
float length(const Vec3& v) { return float(std::sqrt(double(lengthSquared(v)))); }
}  // namespace

void FxAxisFrameEffect::registerParams(FxParamHost* host) {
    addBool(host, "orthogonal", &orthogonal, true);
    addBool(host, "enable scale", &enableScale, true);
    addBool(host, "uniform scale", &uniformScale, true);
    addFramePoints(host, {5.0f, 0.0f, 0.0f}, {0.0f, 5.0f, 0.0f}, {0.0f, 0.0f, 5.0f});
}

void FxAxisFrameEffect::addFramePoints(FxParamHost* host, Vec3 endX, Vec3 endY, Vec3 endZ) {
    addPoint(host, "center", &frame[0], {0.0f, 0.0f, 0.0f});
    addPoint(host, "axis x", &frame[1], endX);
    addPoint(host, "axis y", &frame[2], endY);
    addPoint(host, "axis z", &frame[3], endZ);
}

// Clearing the previous flags makes the first update treat "orthogonal" and
// "uniform scale" as just switched on.
bool FxAxisFrameEffect::start(uint32_t) {
    std::memcpy(previousFrame, frame, sizeof frame);
    resetClock();
    previousOrthogonal = 0.0f;
    previousUniformScale = 0.0f;
    return true;
}

void FxAxisFrameEffect::update(float time) {
    stepTime(time);
    updateFrame();
}

void FxAxisFrameEffect::updateFrame() {
    Vec3& c = frame[0];
    bool changed[3];
    for (int i = 0; i < 3; ++i) changed[i] = !samePoint(frame[i + 1], previousFrame[i + 1]);
    const bool uniformToggled = isOn(uniformScale) != isOn(previousUniformScale);
    const bool orthoToggled = isOn(orthogonal) != isOn(previousOrthogonal);

    if (!samePoint(c, previousFrame[0])) {
        // The axes travel with the centre; nothing else is kept in shape this time.
        const Vec3 shift = difference(c, previousFrame[0]);
        for (int i = 1; i < 4; ++i) addTo(frame[i], shift);
    } else if (changed[0] || changed[1] || changed[2] || uniformToggled || orthoToggled) {
        if (isOn(uniformScale)) evenLengths(uniformToggled, changed);
        if (isOn(orthogonal)) {
            if (orthoToggled) {
                orthogonalizeAxes();
            } else {
                Vec3 r[3], p[3];
                for (int i = 0; i < 3; ++i) {
                    r[i] = difference(frame[i + 1], c);
                    p[i] = difference(previousFrame[i + 1], c);
                }
                reframe(r, p, changed);
                for (int i = 0; i < 3; ++i) frame[i + 1] = sum(c, r[i]);
            }
        }
    }
    if (!isOn(enableScale))
        for (int i = 1; i < 4; ++i) placeAtRadius(frame[i], c);

    std::memcpy(previousFrame, frame, sizeof frame);
    previousOrthogonal = orthogonal;
    previousUniformScale = uniformScale;
}

// Switching the flag on gives every axis the mean length of the three; an
// edit gives the others the edited axis's length (the mean of the edited).
void FxAxisFrameEffect::evenLengths(bool uniformToggled, const bool (&changed)[3]) {
    const Vec3& c = frame[0];
    Vec3 r[3];
    double total = 0.0;  // only the mean is kept, so the sum stays in double
    int marked = 0;
    for (int i = 0; i < 3; ++i) {
        r[i] = difference(frame[i + 1], c);
        if (uniformToggled || changed[i]) {
            total += length(r[i]);
            ++marked;
        }
    }
    if (marked > 0) {
        const float mean = float(total / marked);
        for (Vec3& v : r) v = scaled(normalize(v), mean);
    }
    // Written back even when nothing was marked: C + (X - C) may move X by a rounding.
    for (int i = 0; i < 3; ++i) frame[i + 1] = sum(c, r[i]);
}

// Three passes, each keeping one axis and turning the other two square to it.
// An axis parallel to the kept one collapses onto the centre.
void FxAxisFrameEffect::orthogonalizeAxes() {
    const Vec3& c = frame[0];
    for (int kept = 0; kept < 3; ++kept) {
        Vec3 r[3];
        for (int i = 0; i < 3; ++i) r[i] = difference(frame[i + 1], c);
        for (int i = 0; i < 3; ++i) {
            if (i == kept) continue;
            orthogonalize(r[i], r[kept]);
            frame[i + 1] = sum(c, r[i]);
        }
    }
}

void FxAxisFrameEffect::reframe(Vec3 (&r)[3], const Vec3 (&p)[3], const bool (&changed)[3]) {
    const int n = int(changed[0]) + int(changed[1]) + int(changed[2]);
    if (n == 0) return;
    float lengths[3];
    for (int i = 0; i < 3; ++i) lengths[i] = length(r[i]);
    Mat4 mean;
    fill(mean, 0.0f);
    for (int i = 0; i < 3; ++i) {
        if (!changed[i]) continue;
        const Vec3 a = normalized(cross(p[i], r[i]));
        const Vec3 q = normalized(cross(p[i], a));
        const Vec3 pu = normalized(p[i]), ru = normalized(r[i]);
        // q points away from r, so the angle comes out negative: its size is what counts.
        const float angle = float(std::fabs(fxmath::atan2(double(dot(ru, q)), double(dot(ru, pu)))));
        Mat4 turn;
        rotationAboutAxis(turn, a, angle);
        for (int e = 0; e < 16; ++e) mean.m[e] = float(double(mean.m[e]) + turn.m[e]);
    }
    divide(mean, float(n));
    for (int i = 0; i < 3; ++i) r[i] = scaled(normalized(transformPoint(mean, p[i])), lengths[i]);
}

bool FxAxisFrameEffect::draw() {
    const Vec3& c = center();
    drawAxes(c, difference(axisX(), c), difference(axisY(), c), difference(axisZ(), c));
    return false;
}
