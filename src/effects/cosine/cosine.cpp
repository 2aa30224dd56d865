#include "effects/cosine/cosine.h"

#include <cmath>

#include "scene/param_registration.h"

constinit const ExpRange kCosineFrequencyCurve{0.0f, 0.5f, 5.0f};
constinit const ExpRange kTangentFrequencyCurve{0.0f, 0.1f, 0.35f};
constinit const ExpRange kCosineIntensityCurve{0.0f, 1.0f, 5.0f};

// The frame comes first, before the data flags.
void GenericCosine::registerParams(FxParamHost* host) {
    FxAxisFrameEffect::registerParams(host);
    registerDataFlags(host);
    animation.addParams(host, 0.5f, 0.0f);
    addScalar(host, "intensity", &intensity, 0.5f);
    addBare(host, "frequence x", &freqX, 0.5f);
    addBare(host, "frequence y", &freqY, 0.5f);
    addBare(host, "frequence z", &freqZ, 0.5f);
    addBool(host, "uniform freq", &uniformFreq, true);
    addBool(host, "use tan", &useTan, false);
}

bool GenericCosine::start(uint32_t) {
    previousFreqX = freqX;
    previousFreqY = freqY;
    previousFreqZ = freqZ;
    previousUniformFreq = uniformFreq;
    FxAxisFrameEffect::start(0);
    animation.accumulator = 0.0f;
    return true;
}

void GenericCosine::update(float time) {
    stepTime(time);
    updateFrame();
    animation.advance(timeStep, 2.0f);
    animation.wrap(0.0f, 1.0f);
    // Linked frequencies: switching the link on takes the mean; an edit while
    // it is on carries the first edited frequency (x, then y, then z) to all three.
    if (isOn(uniformFreq)) {
        const auto link = [this](float f) { freqX = freqY = freqZ = f; };
        if (!isOn(previousUniformFreq))
            link(float((double(freqZ) + freqY + freqX) * 0.33333334f));
        else if (!(freqX == previousFreqX))
            link(freqX);
        else if (!(freqY == previousFreqY))
            link(freqY);
        else if (!(freqZ == previousFreqZ))
            link(freqZ);
    }
    previousUniformFreq = uniformFreq;
    previousFreqX = freqX;
    previousFreqY = freqY;
    previousFreqZ = freqZ;
}

// These depend only on the parameters and the clock: one evaluation per pass gives every point the same values.
void GenericCosine::beginPass() {
    rule.center = center();
    frameMatrix(rule.frame, center(), axisX(), axisY(), axisZ());
    rule.ex = normalized(row(rule.frame, 0));
    rule.ey = normalized(row(rule.frame, 1));
    rule.ez = normalized(row(rule.frame, 2));
    rule.tangent = isOn(useTan);
    const ExpRange& curve = rule.tangent ? kTangentFrequencyCurve : kCosineFrequencyCurve;
    rule.spatial[0] = curve.value(freqX);
    rule.spatial[1] = curve.value(freqY);
    rule.spatial[2] = curve.value(freqZ);
    const double v = animation.value(0.5f);
    // The tangent's time phase runs a hundred times slower.
    rule.timePhase = rule.tangent ? double(kTurn) * 0.01 * (v - 1.0) : double(kTurn) * (v - 1.0);
    const float x = signedValue(intensity);
    rule.k = kCosineIntensityCurve.value(std::fabs(x));
    if (!(x > 0.0f)) rule.k = -rule.k;
}

const char* GenericCosine::description() { return "FIXME"; }
const char* GenericCosine::author() { return "Brisel"; }
