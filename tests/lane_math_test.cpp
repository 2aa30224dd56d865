// The lane math functions (as this file compiles them: two SSE2 lanes)
// against the C library: its very results where the fast paths hand lanes
// over or must match exactly (signed zeros, infinities, NaN, huge and tiny
// arguments), and within a couple of double ulps elsewhere, which rounds to
// the library's float nearly always.
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "scene/lane_math.h"

namespace {
using lanes::D;

int64_t doubleUlps(double a, double b) {
    if (std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b) || (std::isnan(a) && std::isnan(b))) return 0;
    if (std::isnan(a) || std::isnan(b)) return INT64_MAX;
    const auto ordered = [](double x) {
        const int64_t bits = std::bit_cast<int64_t>(x);
        return bits < 0 ? -(bits & INT64_MAX) - 1 : bits;
    };
    const int64_t d = ordered(a) - ordered(b);
    return d < 0 ? -d : d;
}

// Both arguments lane by lane; one-argument functions ignore the second.
double lane(D (*f)(D, D), double x, double y) {
    alignas(16) double xs[lanes::kWidth], ys[lanes::kWidth], out[lanes::kWidth];
    for (int i = 0; i < lanes::kWidth; ++i) {
        xs[i] = x;
        ys[i] = y;
    }
    lanes::store(out, f(lanes::load(xs), lanes::load(ys)));
    return out[lanes::kWidth - 1];
}

// Where each fast path answers (elsewhere the lanes must be the library's own results).
bool trig(double x, double) { return std::fabs(x) >= 0x1p-27 && std::fabs(x) < 1e5; }
bool ratio(double y, double x) {
    const double t = std::fabs(y / x);
    return std::isfinite(x) && std::isfinite(y) && x != 0 && y != 0 && t >= 0x1p-60 && t <= 0x1p60;
}
bool normal(double x, double) { return x >= 0x1p-1022 && x <= 1.7976931348623157e308; }
bool power(double x, double y) { return normal(x, y) && std::fabs(y * std::log(x)) < 700; }

struct Function {
    const char* name;
    D (*lanes)(D, D);
    double (*library)(double, double);
    bool (*fast)(double, double);
    double low, high, secondLow, secondHigh;  // random arguments
    int64_t ulps;                             // allowed on the fast paths
};

const Function kFunctions[] = {
    {"sin", [](D x, D) { return lanes::sin(x); }, [](double x, double) { return std::sin(x); }, trig, -1e4, 1e4, 0, 0,
     1},
    {"cos", [](D x, D) { return lanes::cos(x); }, [](double x, double) { return std::cos(x); }, trig, -1e4, 1e4, 0, 0,
     1},
    {"tan", [](D x, D) { return lanes::tan(x); }, [](double x, double) { return std::tan(x); }, trig, -20, 20, 0, 0, 2},
    {"atan2", [](D y, D x) { return lanes::atan2(y, x); }, [](double y, double x) { return std::atan2(y, x); }, ratio,
     -50, 50, -50, 50, 1},
    {"exp", [](D x, D) { return lanes::exp(x); }, [](double x, double) { return std::exp(x); },
     [](double x, double) { return std::fabs(x) < 700; }, -700, 700, 0, 0, 1},
    {"log", [](D x, D) { return lanes::log(x); }, [](double x, double) { return std::log(x); }, normal, 1e-9, 1e9, 0, 0,
     1},
    // y ln x carries the error of ln x, a few hundredths of an ulp per unit of |y ln x|.
    {"pow", [](D x, D y) { return lanes::pow(x, y); }, [](double x, double y) { return std::pow(x, y); }, power, 1e-9,
     1, 0.01, 25, 256},
};
}  // namespace

TEST(LaneMath, GivesTheLibrarysResultsOnSpecialArguments) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const double special[] = {0.0,  -0.0,   1e-320, -1e-320, 1e-30, -1e-30, 1e300, -1e300, inf,  -inf, nan,
                              1.0,  -1.0,   2.0,    0.5,     800,   -800,   709.5, -709.5, -740, 1e6,  -1e6,
                              1e5,  0x1p-27, -0x1p-28,
                              M_PI, M_PI_2, -M_PI_2, 3 * M_PI_2};
    for (const Function& f : kFunctions)
        for (double x : special)
            for (double y : special) {
                const double want = f.library(x, y), got = lane(f.lanes, x, y);
                EXPECT_LE(doubleUlps(want, got), f.fast(x, y) ? f.ulps : 0)
                    << f.name << "(" << x << ", " << y << ") = " << got << ", not " << want;
            }
}

TEST(LaneMath, StaysWithinUlpsOfTheLibraryAndRoundsToItsFloats) {
    std::mt19937_64 random(5);
    for (const Function& f : kFunctions) {
        std::uniform_real_distribution<double> first(f.low, f.high), second(f.secondLow, f.secondHigh);
        int64_t worst = 0;
        int floatDifferences = 0;
        for (int i = 0; i < 200000; ++i) {
            const double x = first(random), y = second(random);
            const double want = f.library(x, y), got = lane(f.lanes, x, y);
            worst = std::max(worst, doubleUlps(want, got));
            floatDifferences += float(want) != float(got);
        }
        EXPECT_LE(worst, f.ulps) << f.name;
        EXPECT_LE(floatDifferences, 20) << f.name;
    }
}
