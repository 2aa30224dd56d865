#include "effects/harmonik/harmonik.h"

constinit const ExpRange kAngleFrequencyCurve{0.0f, 5.0f, 50.0f};
constinit const ExpRange kExtremizerGainCurve{0.0f, 5.0f, 80.0f};

void GenericHarmonik::registerParams(FxParamHost* host) {
    registerDataFlags(host);
    addScalar(host, "intensity", &intensity, 0.2f);
    wave.addParams(host, 0.5f, 0.0f);
    addBare(host, "angle teta", &angleTeta, 0.5f);
    addBare(host, "angle phi", &anglePhi, 0.5f);
    addBare(host, "extremizer", &extremizer, 0.0f);
    addPoint(host, "center", &center, {0.0f, 0.0f, 0.0f});
}

bool GenericHarmonik::start(uint32_t) {
    wave.accumulator = 0.0f;
    resetClock();
    return true;
}

void GenericHarmonik::update(float time) {
    stepTime(time);
    wave.advance(timeStep, 2.0f);
    wave.wrap(0.0f, 1.0f);
    // Intensity below the middle lowers the trough, above it the crest.
    const float e = signedValue(intensity);
    float crestScale;  // the scale where the pattern is 1
    if (e > 0.0f) {
        rule.troughScale = 1.0f;
        crestScale = float(1.0 - e);
    } else {
        rule.troughScale = float(double(e) + 1.0);
        crestScale = 1.0f;
    }
    // The difference of two floats, taken in double as the rule takes it.
    rule.scaleSpan = double(crestScale) - rule.troughScale;
}

void GenericHarmonik::beginPass() {
    // value() depends only on the parameter, so one evaluation per pass gives the same float.
    rule.tetaFrequency = kAngleFrequencyCurve.value(angleTeta);
    rule.phiFrequency = kAngleFrequencyCurve.value(anglePhi);
    rule.extremized = extremizer > 0.0f;
    rule.extremizerGain = kExtremizerGainCurve.value(extremizer);
    // The clock moves only in update; kept in double, as the rule adds it to the angles unrounded.
    rule.wavePhase = double(kTurn) * wave.value(2.0f);
    rule.center = center;
}

const char* GenericHarmonik::description() {
    return "Deforms points of current 3d objects in a spherical harmonikal way.";
}
const char* GenericHarmonik::author() { return "Brisel"; }
