// The library's lane math timed per element on the instruction set the
// effects run, and the calls each effect's rule makes per point: with the
// floor, the limit no pass built on this math can beat (bench/table.cpp).
#pragma once

#include <string>
#include <vector>

#include "floors.h"

enum class LaneFunction { sin, cos, sincos, tan, atan2, exp, log, pow, sqrt, div };
constexpr LaneFunction kLaneFunctions[] = {LaneFunction::sin,  LaneFunction::cos,  LaneFunction::sincos,
                                           LaneFunction::tan,  LaneFunction::atan2, LaneFunction::exp,
                                           LaneFunction::log,  LaneFunction::pow,  LaneFunction::sqrt,
                                           LaneFunction::div};
const char* nameOf(LaneFunction f);

constexpr int kLaneElements = 512;

// One instruction set's pass of a function over kLaneElements arguments
// (x, and y for atan2, pow and the division), results stored to out (and
// out2 for sincos's cosines); and of the normal rebuild's face rule over
// kLaneElements faces, their corners' coordinates in rows of kLaneElements
// (a.x, a.y, a.z, b.x, ..., c.z), the weighted normals likewise.
struct LaneKernels {
    void (*run)(LaneFunction f, const double* x, const double* y, double* out, double* out2);
    void (*faces)(const float* corners, float* out);
    int width;
    const char* set;
};

// Arguments in the ranges the rules hand each function, and the kernels
// of the widest set the processor runs, chosen as the library chooses.
class LaneTimer {
public:
    LaneTimer();
    // One pass of f over its arguments; the compiler must keep every result.
    void run(LaneFunction f);
    // One pass of the face rule over kLaneElements faces of a grid over a wave.
    void runFaces();
    int width() const { return kernels_.width; }
    const char* set() const { return kernels_.set; }

private:
    const LaneKernels& kernels_;
    std::vector<double> x_, y_, out_, out2_;  // x_ and y_: kLaneElements per function
    std::vector<float> corners_, weighted_;
};

// A rule's use of one function: how many calls per point.
struct LaneCall {
    LaneFunction function;
    int perPoint;
};

// The calls `effect`'s rule makes per point with its default parameters,
// none for a rule without math; `share` is the part of `points` that makes
// them (for Magnet, the groups of `width` points with one inside its sphere).
// `modelled` is false for an effect the bench has no model of.
struct RuleCalls {
    std::vector<LaneCall> calls;
    double share = 1.0;
    bool modelled = false;
    bool everyPoint = true;  // false: only some points call them
};
RuleCalls ruleCalls(const std::string& effect, const PointView& points, int width);
