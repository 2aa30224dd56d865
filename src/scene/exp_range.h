// The exponential mapping of a 0..1 control onto (min, mid, max):
// value(0) = min, value(0.5) = mid, value(1) = max. Each instance derives
// its constants once, on first use, and keeps them.
#pragma once

class ExpRange {
public:
    constexpr ExpRange(float min, float mid, float max) : min_(min), mid_(mid), max_(max) {}

    float value(float p) const;
    float inverse(float v) const;

    float min() const { return min_; }
    // Derived constants, for code that evaluates the curve itself.
    float c() const { return derive().c; }
    float k() const { return derive().k; }

private:
    struct Derived {
        float D, B, c, k;
    };
    const Derived& derive() const;

    float min_, mid_, max_;
    mutable bool ready_ = false;
    mutable Derived derived_{};
};

// Every curve of the library, one definition each.
extern const ExpRange kStandardSpeedCurve;  // (0.01, 0.1, 1)
extern const ExpRange kWideSpeedCurve;      // (0.001, 0.1, 5)
extern const ExpRange kScaleFactorCurve;    // (0.01, 1, 100)
extern const ExpRange kAngleFrequencyCurve; // (0, 5, 50)
extern const ExpRange kExtremizerGainCurve; // (0, 5, 80)
extern const ExpRange kElipsoidExponentCurve; // (0.1, 1, 8)
extern const ExpRange kTwistRateCurve;      // (0.00001, 0.5, 6)
extern const ExpRange kCosineFrequencyCurve;  // (0, 0.5, 5)
extern const ExpRange kTangentFrequencyCurve; // (0, 0.1, 0.35)
extern const ExpRange kCosineIntensityCurve;  // (0, 1, 5)
extern const ExpRange kMagnetPowerCurve;    // (0.01, 1, 25)
extern const ExpRange kSampleCountCurve;    // (1, 16, 128)
