// The exponential mapping of a 0..1 control onto (min, mid, max):
// value(0) = min, value(0.5) = mid, value(1) = max. Each instance derives
// its constants once, on first use, and keeps them. Instances are defined
// constinit, so none depends on the order of dynamic start-up.
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

// The two curves of the PhaseSpeed clocks; each effect defines its own curves.
extern const ExpRange kStandardSpeedCurve;  // (0.01, 0.1, 1)
extern const ExpRange kWideSpeedCurve;      // (0.001, 0.1, 5)
