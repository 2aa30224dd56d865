#include "scene/exp_range.h"

#include <cmath>

#include "scene/scalar_math.h"

const ExpRange::Derived& ExpRange::derive() const {
    if (!ready_) {
        const float A = max_ - min_;
        const float M = mid_ - min_;
        Derived d;
        d.D = float(double(A) * A - 4.0 * M * (double(A) - M));
        d.B = float((std::sqrt(double(d.D)) + A) / (double(M) + M));
        d.c = float(M / (double(d.B) - 1.0));
        d.k = float(fxmath::log(double(d.B)) + fxmath::log(double(d.B)));
        derived_ = d;
        ready_ = true;
    }
    return derived_;
}

float ExpRange::value(float p) const {
    const Derived& d = derive();
    return float((fxmath::exp(double(d.k) * p) - 1.0) * d.c + min_);
}

float ExpRange::inverse(float v) const {
    const Derived& d = derive();
    return float(fxmath::log((double(v) - min_) / d.c + 1.0) / d.k);
}

// mutable members keep these out of read-only memory; constinit makes the
// set-up static, so no instance depends on the order of dynamic start-up.
constinit const ExpRange kStandardSpeedCurve{0.01f, 0.1f, 1.0f};
constinit const ExpRange kWideSpeedCurve{0.001f, 0.1f, 5.0f};
