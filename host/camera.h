// The one camera of fxhost: an orbit about a target, with Y or Z up. The
// headless renderer and the viewer both look through it.
#pragma once

#include <string>

#include "kit/scene.h"

enum class UpAxis { Y, Z };
enum class View { ThreeQuarter, Front, Top, Side };

// Throw UsageError for an unknown name, the message led by `named`: the
// option and its value (--up x), or the value as a script has it ('x').
UpAxis parseUpAxis(const std::string& text, const std::string& named);  // "y" or "z"
View parseView(const std::string& text, const std::string& named);      // "three-quarter", "front", "top", "side"
const char* upAxisName(UpAxis up);
const char* viewName(View view);

struct Camera {
    UpAxis up = UpAxis::Y;
    // Where the eye lies seen from the target: yaw about the up axis from the
    // front, pitch above the ground plane, both in degrees.
    double yaw = 0.0, pitch = 0.0;
    double distance = 10.0;
    double target[3] = {0, 0, 0};
    double radius = 1.0;  // of what was framed last: sets the depth range
    double fieldOfView = 30.0;  // degrees, vertical

    void setView(View view);
    // The whole bounding sphere in sight with a margin, at this aspect (width / height).
    void frameAll(const Bounds& bounds, double aspect);
    void orbit(double degreesRight, double degreesUp);
    // Moves the target by a fraction of the visible height.
    void pan(double right, double up);
    void zoom(double factor);  // > 1 comes closer

    struct Basis {
        double eye[3], right[3], up[3], forward[3];
    };
    Basis basis() const;
    double nearPlane() const;
    double farPlane() const;
};
