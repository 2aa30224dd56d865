#include "effects/uniform_scale.h"

#include <cstdio>

#include "scene/param_registration.h"

constinit const ExpRange kScaleFactorCurve{0.01f, 1.0f, 100.0f};

void UniformScale::addParams(FxParamHost* host, const char* prefix) {
    char name[64];
    std::snprintf(name, sizeof name, "%ssize x", prefix);
    addScalar(host, name, &sizeX, 0.0f);
    std::snprintf(name, sizeof name, "%ssize y", prefix);
    addScalar(host, name, &sizeY, 0.0f);
    std::snprintf(name, sizeof name, "%ssize z", prefix);
    addScalar(host, name, &sizeZ, 0.0f);
    std::snprintf(name, sizeof name, "%suniform", prefix);
    addBool(host, name, &uniform, true);
}

Vec3 UniformScale::factors() const {
    return {kScaleFactorCurve.value(sizeX), kScaleFactorCurve.value(sizeY), kScaleFactorCurve.value(sizeZ)};
}

void UniformScale::remember() {
    previousSizeX = sizeX;
    previousSizeY = sizeY;
    previousSizeZ = sizeZ;
    previousUniform = uniform;
}

void UniformScale::link() {
    if (isOn(uniform)) {
        if (isOn(previousUniform)) {
            // Exact compares: the first edited size wins, x before y before z.
            if (sizeX != previousSizeX)
                sizeY = sizeZ = sizeX;
            else if (sizeY != previousSizeY)
                sizeX = sizeZ = sizeY;
            else if (sizeZ != previousSizeZ)
                sizeX = sizeY = sizeZ;
        } else {
            // Just switched on: all three jump to the size whose factor is the
            // mean of the three factors.
            const double total = double(kScaleFactorCurve.value(sizeZ)) + kScaleFactorCurve.value(sizeX) +
                                 kScaleFactorCurve.value(sizeY);
            const float mean = float(total * 0.33333334f);
            sizeX = sizeY = sizeZ = kScaleFactorCurve.inverse(mean);
        }
    }
    remember();
}
