// The library's math functions against correctly rounded results, taken
// from the C library in extended precision: the ulps the header states,
// over the ranges the rules feed them and beyond (huge angles through the
// exact reduction), and C's very values where the result is a zero, an
// infinity or a NaN; on the lanes of every instruction set this processor
// runs, each bit for bit the scalar rules' one-lane instance, alone and in
// packs.
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "float_agreement.h"
#include "lane_math_sets.h"
#include "scene/scalar_math.h"

namespace {
// MinGW's long double functions (the x87's own) are no correctly rounded reference for every argument:
// on Windows only C's exact values are compared.
#if defined(_WIN32)
constexpr bool kCorrectlyRounded = false;
#else
constexpr bool kCorrectlyRounded = true;
#endif

// The math on the lanes of each instruction set this processor runs.
constexpr PerSet<double (*)(MathFunction, double, double)> kLaneMath FX_PER_SET(laneMath);
std::vector<InstructionSet> setsHere() {
    std::vector<InstructionSet> sets;
    for (InstructionSet set : kInstructionSets)
        if (kLaneMath.forSet(set)) sets.push_back(set);
    return sets;
}
double laneMath(InstructionSet set, MathFunction f, double x, double y) { return kLaneMath.forSet(set)(f, x, y); }

struct Range {
    double low, high, secondLow, secondHigh;
    bool logarithmic;  // uniform in the exponent, for magnitudes over many decades
};

struct Function {
    const char* name;
    MathFunction function;
    double (*scalar)(double, double);
    long double (*reference)(long double, long double);
    int64_t ulps;
    Range ranges[3];  // an unused one is all zeros
    double ulpsPerUnit = 0;  // more ulps per unit of |y ln |x||
    int64_t allowed(double x, double y) const {
        const double units = ulpsPerUnit ? std::fabs(y * std::log(std::fabs(x))) : 0;
        return ulps + (units < 1e6 ? int64_t(ulpsPerUnit * units) : 0);
    }
};

const Function kFunctions[] = {
    {"sin", MathFunction::sin, [](double x, double) { return fxmath::sin(x); },
     [](long double x, long double) { return sinl(x); }, 1,
     {{-8, 8, 0, 0, false}, {-1e5, 1e5, 0, 0, false}, {1e5, 1e300, 0, 0, true}}},
    {"cos", MathFunction::cos, [](double x, double) { return fxmath::cos(x); },
     [](long double x, long double) { return cosl(x); }, 1,
     {{-8, 8, 0, 0, false}, {-1e5, 1e5, 0, 0, false}, {1e5, 1e300, 0, 0, true}}},
    {"tan", MathFunction::tan, [](double x, double) { return fxmath::tan(x); },
     [](long double x, long double) { return tanl(x); }, 2, {{-20, 20, 0, 0, false}, {1e5, 1e300, 0, 0, true}}},
    {"atan2", MathFunction::atan2, [](double y, double x) { return fxmath::atan2(y, x); },
     [](long double y, long double x) { return atan2l(y, x); }, 1,
     {{-50, 50, -50, 50, false}, {1e-300, 1e300, 1e-300, 1e300, true}}},
    {"exp", MathFunction::exp, [](double x, double) { return fxmath::exp(x); },
     [](long double x, long double) { return expl(x); }, 1, {{-700, 700, 0, 0, false}, {-745, -708, 0, 0, false}}},
    {"log", MathFunction::log, [](double x, double) { return fxmath::log(x); },
     [](long double x, long double) { return logl(x); }, 1, {{1e-9, 1e9, 0, 0, true}, {1e-320, 1e300, 0, 0, true}}},
    // y ln x carries its error, up to 2^-52 |y ln x| relative, into the power.
    {"pow", MathFunction::pow, [](double x, double y) { return fxmath::pow(x, y); },
     [](long double x, long double y) { return powl(x, y); }, 1,
     {{1e-9, 1, 0.01, 25, false}, {1e-3, 1e3, -50, 50, false}}, 2},
};

double draw(std::mt19937_64& random, double low, double high, bool logarithmic) {
    if (!logarithmic) return std::uniform_real_distribution<double>(low, high)(random);
    return std::exp(std::uniform_real_distribution<double>(std::log(low), std::log(high))(random));
}
}  // namespace

TEST(LaneMath, GivesCsValuesAtZerosInfinitiesAndNaNs) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const double special[] = {0.0, -0.0, 1e-320, -1e-320, 1e-30, -1e-30, 1e300, -1e300, inf, -inf, nan, 1.0,
                              -1.0, 2.0, 0.5, 800, -800, 709.5, -709.5, -740, -746, 3.0, -3.0, 1.5707963267948966};
    for (const Function& f : kFunctions)
        for (double x : special)
            for (double y : special) {
                const double want = double(f.reference(x, y)), got = f.scalar(x, y);
                const bool exact = want == 0 || std::isinf(want) || std::isnan(want);
                if (exact || kCorrectlyRounded) {
                    EXPECT_LE(ulpDistance(want, got), exact ? 0 : f.allowed(x, y))
                        << f.name << "(" << x << ", " << y << ") = " << got << ", not " << want;
                }
                for (InstructionSet set : setsHere())
                    EXPECT_EQ(ulpDistance(laneMath(set, f.function, x, y), got), 0) << f.name << " on set " << int(set);
            }
}

TEST(LaneMath, StaysWithinItsUlpsOfTheCorrectlyRoundedResult) {
    std::mt19937_64 random(5);
    for (const Function& f : kFunctions)
        for (const Range& r : f.ranges) {
            if (r.low == r.high) continue;
            int64_t worst = 0, excess = 0;
            for (int i = 0; i < 40000; ++i) {
                const double x = draw(random, r.low, r.high, r.logarithmic) * (r.logarithmic && i % 2 ? -1 : 1);
                const double y = r.secondHigh ? draw(random, r.secondLow, r.secondHigh, r.logarithmic) : 0.0;
                const double got = f.scalar(x, y);
                const int64_t d = ulpDistance(double(f.reference(x, y)), got);
                worst = std::max(worst, d);
                excess = std::max(excess, d - f.allowed(x, y));
                for (InstructionSet set : setsHere())
                    ASSERT_EQ(ulpDistance(laneMath(set, f.function, x, y), got), 0)
                        << f.name << "(" << x << ", " << y << ") on set " << int(set);
            }
            std::printf("%-6s over %g..%g: at most %lld ulp\n", f.name, r.low, r.high, static_cast<long long>(worst));
            if (kCorrectlyRounded) {
                EXPECT_LE(excess, 0) << f.name << " over " << r.low << ".." << r.high;
            }
        }
}

TEST(LaneMath, FmodIsExact) {
    const double inf = std::numeric_limits<double>::infinity();
    const double cases[][2] = {{7.5, 2}, {-7.5, 2}, {1e300, 3}, {-1e-300, 1e-310}, {5e-324, 3e-320}, {1e22, 0.1},
                               {3, inf}, {-0.0, 1}, {1, 0}, {inf, 1}, {2, -0.75}};
    for (const auto& c : cases) {
        const double want = std::fmod(c[0], c[1]), got = fxmath::fmod(c[0], c[1]);
        EXPECT_EQ(ulpDistance(want, got), 0) << "fmod(" << c[0] << ", " << c[1] << ") = " << got << ", not " << want;
    }
}
