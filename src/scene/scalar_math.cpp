#define FX_LANES_ONE
#include "scene/scalar_math.h"

#include "scene/lane_math.h"

namespace fxmath {
using lanes::D;

double sin(double x) { return lanes::sin(D{x}).v; }
double cos(double x) { return lanes::cos(D{x}).v; }
double tan(double x) { return lanes::tan(D{x}).v; }
double atan2(double y, double x) { return lanes::atan2(D{y}, D{x}).v; }
double exp(double x) { return lanes::exp(D{x}).v; }
double log(double x) { return lanes::log(D{x}).v; }
double pow(double x, double y) { return lanes::pow(D{x}, D{y}).v; }

// The largest y 2^k not above the remainder is taken away, then k goes down:
// each subtraction is exact (the remainder lies between y 2^k and twice it).
double fmod(double x, double y) {
    const double ax = __builtin_fabs(x), ay = __builtin_fabs(y);
    if (x != x || y != y || ax == __builtin_inf() || ay == 0.0) return (x * y) / (x * y);
    double r = ax, s = ay;
    while (s + s <= r) s += s;
    for (;;) {
        if (r >= s) r -= s;
        if (s == ay) break;
        s *= 0.5;
    }
    return __builtin_copysign(r, x);
}
}  // namespace fxmath
