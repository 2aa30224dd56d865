#include "camera.h"

#include <algorithm>
#include <cmath>

#include "kit/errors.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kMargin = 1.4;  // room around the sphere, also for data the effects move outwards
double radians(double degrees) { return degrees * kPi / 180.0; }

// The world's right, towards-the-viewer and up directions for each up axis.
struct Frame {
    double right[3], toward[3], up[3];
};
Frame worldFrame(UpAxis up) {
    if (up == UpAxis::Z) return {{1, 0, 0}, {0, -1, 0}, {0, 0, 1}};
    return {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}};
}
}  // namespace

UpAxis parseUpAxis(const std::string& text, const std::string& named) {
    if (text == "y" || text == "Y") return UpAxis::Y;
    if (text == "z" || text == "Z") return UpAxis::Z;
    throw UsageError(named + ": expected y or z");
}

View parseView(const std::string& text, const std::string& named) {
    for (View v : {View::ThreeQuarter, View::Front, View::Top, View::Side})
        if (text == viewName(v)) return v;
    throw UsageError(named + ": expected three-quarter, front, top or side");
}

const char* upAxisName(UpAxis up) { return up == UpAxis::Z ? "z" : "y"; }

const char* viewName(View view) {
    switch (view) {
        case View::Front: return "front";
        case View::Top: return "top";
        case View::Side: return "side";
        case View::ThreeQuarter: break;
    }
    return "three-quarter";
}

void Camera::setView(View view) {
    switch (view) {
        // From the front, a little to the right and above.
        case View::ThreeQuarter:
            yaw = std::atan2(0.45, 1.0) * 180.0 / kPi;
            pitch = std::atan2(0.35, std::hypot(0.45, 1.0)) * 180.0 / kPi;
            break;
        case View::Front: yaw = 0, pitch = 0; break;
        case View::Top: yaw = 0, pitch = 90; break;
        case View::Side: yaw = 90, pitch = 0; break;
    }
}

void Camera::frameAll(const Bounds& bounds, double aspect) {
    radius = 1.0;
    for (double& t : target) t = 0.0;
    if (!bounds.empty) {
        target[0] = (double(bounds.min.x) + bounds.max.x) / 2;
        target[1] = (double(bounds.min.y) + bounds.max.y) / 2;
        target[2] = (double(bounds.min.z) + bounds.max.z) / 2;
        radius = std::max(1e-3, double(bounds.radius));
    }
    // The sphere fits the narrower of the two fields of view.
    const double half = radians(fieldOfView) / 2;
    const double fit = std::sin(std::min(half, std::atan(std::tan(half) * aspect)));
    distance = kMargin * radius / fit;
}

void Camera::orbit(double degreesRight, double degreesUp) {
    yaw = std::fmod(yaw - degreesRight, 360.0);
    pitch = std::clamp(pitch + degreesUp, -90.0, 90.0);
}

void Camera::pan(double right, double up) {
    const Basis b = basis();
    const double height = 2 * distance * std::tan(radians(fieldOfView) / 2);
    for (int k = 0; k < 3; ++k) target[k] -= (b.right[k] * right + b.up[k] * up) * height;
}

void Camera::zoom(double factor) {
    if (factor > 0 && std::isfinite(factor)) distance = std::clamp(distance / factor, radius * 1e-3, radius * 1e3);
}

Camera::Basis Camera::basis() const {
    const Frame w = worldFrame(up);
    const double cy = std::cos(radians(yaw)), sy = std::sin(radians(yaw));
    const double cp = std::cos(radians(pitch)), sp = std::sin(radians(pitch));
    Basis b{};
    for (int k = 0; k < 3; ++k) {
        const double out = cp * (sy * w.right[k] + cy * w.toward[k]) + sp * w.up[k];  // target to eye
        b.eye[k] = target[k] + distance * out;
        b.forward[k] = -out;
        b.right[k] = cy * w.right[k] - sy * w.toward[k];
    }
    // up = out x right, which stays defined looking straight down.
    b.up[0] = -(b.forward[1] * b.right[2] - b.forward[2] * b.right[1]);
    b.up[1] = -(b.forward[2] * b.right[0] - b.forward[0] * b.right[2]);
    b.up[2] = -(b.forward[0] * b.right[1] - b.forward[1] * b.right[0]);
    return b;
}

double Camera::nearPlane() const { return std::max(distance - 4 * radius, distance * 0.01); }
double Camera::farPlane() const { return distance + 6 * radius; }
