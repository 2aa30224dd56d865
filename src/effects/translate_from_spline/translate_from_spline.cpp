#include "effects/translate_from_spline/translate_from_spline.h"

#include <cmath>

#include "scene/host_vector.h"
#include "scene/spline_copy.h"

constinit const ExpRange kSampleCountCurve{1.0f, 16.0f, 128.0f};

namespace {
// Enough for any precision a slider gives (128 at the top) and a bound on
// what a typed-in value can make the effect allocate.
constexpr uint32_t kMaxSamples = 65536;

// The precision curve's value, truncated. A negative or NaN precision gives
// less than one sample and answers 0, which keeps the samples held; an
// infinite or huge one stops at kMaxSamples.
uint32_t sampleCount(float precision) {
    const float n = kSampleCountCurve.value(precision);
    if (!(n >= 1.0f)) return 0;
    return n >= float(kMaxSamples) ? kMaxSamples : uint32_t(n);
}

// The curve index counts modulo 2^32: steps taken while no spline is looked
// up never overflow, and the lookup brings the index back among the curves.
int32_t stepped(int32_t index, int32_t by) { return int32_t(uint32_t(index) + uint32_t(by)); }

// The sample at v along the curve: v at or past 1 is the last sample, v
// below 0 (or NaN) the first.
uint32_t sampleIndex(float v, uint32_t held) {
    const float x = float(double(v) * held);
    if (!(x >= 0.0f)) return 0;
    return x >= float(held) ? held - 1 : uint32_t(x);
}
}  // namespace

GenericTranslateFromSpline::~GenericTranslateFromSpline() { freeStorage(samples); }

bool GenericTranslateFromSpline::init(uint32_t, uint32_t) {
    travel.speedMapping = &kWideSpeedCurve;
    resize(samples, 2);
    return true;
}

void GenericTranslateFromSpline::registerParams(FxParamHost* host) {
    addBool(host, "on mesh", &onMesh, true);
    addBool(host, "on particles", &onParticles, true);
    addBare(host, "precision", &precision, 0.5f);
    travel.addParams(host, 0.5f, 0.0f);
    onSpline = 0.0f;  // the spline is the path: it is read, never moved
}

bool GenericTranslateFromSpline::start(uint32_t) {
    travel.accumulator = 0.0f;
    curveIndex = 0;
    rule.offset = {0.0f, 0.0f, 0.0f};
    resetClock();
    return true;
}

void GenericTranslateFromSpline::update(float time) {
    // Samples keep their storage; process overwrites them. Resized first, so that an update whose
    // allocation fails changes nothing.
    if (const uint32_t n = sampleCount(precision)) resize(samples, n);
    stepTime(time);
    travel.advance(timeStep, 1.0f);
    const float v = travel.value(0.5f);
    if (v > 1.0f) {
        curveIndex = stepped(curveIndex, 1);
        travel.wrap(0.0f, 1.0f);
    } else if (v < 0.0f) {
        curveIndex = stepped(curveIndex, -1);
        travel.wrap(0.0f, 1.0f);
    }
}

bool GenericTranslateFromSpline::process(FxHostData* host) {
    if (!host->hasSpline(true)) return false;
    follow(*host->getSpline());
    return runPass(host);
}

// Without a curve to follow, or a curve that gives no sample, the offset
// keeps its last value and the points are still moved by it.
void GenericTranslateFromSpline::follow(const Spline& spline) {
    const int64_t curves = count(spline.curves);
    if (curves == 0) return;
    // The remainder is what adding the count until not negative would give.
    curveIndex = int32_t((curveIndex % curves + curves) % curves);
    const Curve& curve = spline.curves->begin[curveIndex];
    // Segments without a stored length would be read past their array.
    if (count(curve.segmentLengths) + 1 < count(curve.points)) return;
    resampleCurve(spline, uint32_t(curveIndex), count(samples), samples);
    if (const uint32_t held = count(samples)) rule.offset = samples.begin[sampleIndex(travel.value(0.5f), held)];
}

const char* GenericTranslateFromSpline::description() {
    return "Translates the points of 3d objects, following current spline.";
}

const char* GenericTranslateFromSpline::author() { return "Brisel"; }
