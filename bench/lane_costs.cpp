#include "lane_costs.h"

#include <cmath>
#include <iterator>

#include "scene/instruction_sets.h"

// Each set's kernels are defined by lane_costs_on_set.h, compiled for it.
FX_DECLARE_PER_SET(extern const LaneKernels kLaneKernels)

namespace {
constexpr PerSet<const LaneKernels*> kKernels FX_PER_SET(kLaneKernels);

constexpr const char* kNames[] = {"sin", "cos", "sincos", "tan", "atan2", "exp", "log", "pow", "sqrt", "div"};

// The arguments' ranges, x then y: those the rules hand each function.
struct Range {
    double xLow, xHigh, yLow, yHigh;
};
constexpr Range kRanges[] = {
    {-30.0, 45.0, 0.0, 0.0},    // sin: Harmonik's wave phase plus 5 times each angle
    {-12.0, 12.0, 0.0, 0.0},    // cos: Cosine's 0.5 c - 2 pi (1 - v), c within +-10
    {-12.0, 12.0, 0.0, 0.0},    // sincos: Twist's turned angles, Elipsoid's two angles
    {-1.1, 1.1, 0.0, 0.0},      // tan: Cosine's 0.1 c - 0.06 pi (1 - v)
    {-10.0, 10.0, -10.0, 10.0}, // atan2: offsets from the centre
    {-20.0, 0.0, 0.0, 0.0},     // exp: pow's y ln x
    {1e-3, 1.0, 0.0, 0.0},      // log: pow's bases
    {1e-3, 1.0, 1.2, 5.1},      // pow: |cos|^1.235 (Elipsoid), t^5.05 (Magnet)
    {0.0, 300.0, 0.0, 0.0},     // sqrt: squared distances
    {-10.0, 10.0, 1e-3, 5.0},   // div: Magnet's sqrt(q) / radius and 1 / t
};

// The lane math each rule calls per point with its default parameters, as
// the effects' lanes call it; Translate, Scale, Rotate and Translate from
// spline call none. Harmonik's extremizer is off by default: one sine.
struct EffectCalls {
    const char* effect;
    LaneCall calls[4];
    bool insideSphere;  // only groups with a point inside the magnet's sphere
};
constexpr EffectCalls kEffectCalls[] = {
    {"Harmonik", {{LaneFunction::atan2, 2}, {LaneFunction::sqrt, 1}, {LaneFunction::sin, 1}}, false},
    {"Twist", {{LaneFunction::atan2, 1}, {LaneFunction::sqrt, 1}, {LaneFunction::sincos, 1}}, false},
    {"Elipsoid",
     {{LaneFunction::sqrt, 2}, {LaneFunction::atan2, 2}, {LaneFunction::sincos, 2}, {LaneFunction::pow, 4}},
     false},
    {"Cosine", {{LaneFunction::cos, 3}}, false},
    {"Cosine+tan", {{LaneFunction::tan, 3}}, false},
    {"Magnet", {{LaneFunction::sqrt, 1}, {LaneFunction::div, 2}, {LaneFunction::pow, 1}}, true},
    {"Translate", {}, false},
    {"Scale", {}, false},
    {"Rotate", {}, false},
    {"TranslateFromSpline", {}, false},
};

// The part of the points in groups of `width` (as the batch rule takes them)
// with one point inside the default sphere, radius 5 about the origin, the
// squared distance rounded to float as the rule rounds it.
double insideShare(const PointView& points, int width) {
    uint32_t groups = 0, running = 0;
    for (uint32_t first = 0; first < points.n; first += uint32_t(width), ++groups)
        for (uint32_t i = first; i < points.n && i < first + uint32_t(width); ++i) {
            const double x = points[i].x, y = points[i].y, z = points[i].z;
            if (float(z * z + y * y + x * x) < 25.0f) {
                ++running;
                break;
            }
        }
    return groups ? double(running) / groups : 0.0;
}
}  // namespace

const char* nameOf(LaneFunction f) { return kNames[int(f)]; }

LaneTimer::LaneTimer()
    : kernels_(*kKernels.widest()),
      x_(std::size(kLaneFunctions) * kLaneElements),
      y_(x_.size()),
      out_(kLaneElements),
      out2_(kLaneElements),
      corners_(9 * kLaneElements),
      weighted_(3 * kLaneElements) {
    uint32_t state = 12345u;
    const auto uniform = [&](double low, double high) {
        state = state * 1664525u + 1013904223u;
        return low + (high - low) * ((state >> 8) + 0.5) / double(1u << 24);
    };
    for (LaneFunction f : kLaneFunctions)
        for (int i = 0; i < kLaneElements; ++i) {
            const Range& r = kRanges[int(f)];
            x_[int(f) * kLaneElements + i] = uniform(r.xLow, r.xHigh);
            y_[int(f) * kLaneElements + i] = uniform(r.yLow, r.yHigh);
        }
    // The faces of a 17-wide grid over the wave of the bench's mesh, as the scene lays them out.
    const auto point = [](uint32_t v, int axis) {
        const double x = v % 17, y = double(v / 17);
        return float(axis == 0 ? x : axis == 1 ? y : 0.5 * std::sin(0.3 * x) * std::cos(0.2 * y));
    };
    for (int face = 0; face < kLaneElements; ++face) {
        const uint32_t quad = uint32_t(face / 2), a = quad / 16 * 17 + quad % 16;
        const uint32_t corners[2][3] = {{a, a + 1, a + 17}, {a + 1, a + 18, a + 17}};
        for (int k = 0; k < 9; ++k) corners_[k * kLaneElements + face] = point(corners[face % 2][k / 3], k % 3);
    }
}

void LaneTimer::runFaces() {
    kernels_.faces(corners_.data(), weighted_.data());
    asm volatile("" : : "r"(weighted_.data()) : "memory");
}

void LaneTimer::run(LaneFunction f) {
    kernels_.run(f, &x_[int(f) * kLaneElements], &y_[int(f) * kLaneElements], out_.data(), out2_.data());
    asm volatile("" : : "r"(out_.data()), "r"(out2_.data()) : "memory");
}

RuleCalls ruleCalls(const std::string& effect, const PointView& points, int width) {
    RuleCalls rule;
    for (const EffectCalls& e : kEffectCalls)
        if (effect == e.effect) {
            for (const LaneCall& call : e.calls)
                if (call.perPoint) rule.calls.push_back(call);
            if (e.insideSphere) rule.share = insideShare(points, width);
            rule.modelled = true;
            rule.everyPoint = !e.insideSphere;
        }
    return rule;
}
