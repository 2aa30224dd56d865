// The effects' point rules applied to many points at once, several per
// instruction, and the per-pass constants each reads. The rules are compiled
// once per instruction set (SSE2 everywhere; AVX2 and AVX-512 as well on
// x86-64) and the widest set the processor runs is chosen once, when the
// library loads. Every rule gives the floats of the effect's movePoint, up
// to the last-bit differences of its vectorised sin, cos, tan, atan2 and pow.
//
// A rule takes n records of `stride` bytes whose first three floats are a
// point (a particle, a spline point, a vertex) and makes out's records
// in's, their points moved; `in` and `out` are the same records or do not
// overlap. Given `lengths`, the records being a curve's points, it also
// writes the lengths of the n - 1 segments between the moved points, as
// updateLengths computes them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fx/abi.h"
#include "scene/vec_math.h"

struct TranslateRule {
    Vec3 translation;
};

struct ScaleRule {
    Vec3 gain;  // factors less origin
};

struct OffsetRule {
    Vec3 offset;
};

struct RotateRule {
    bool still;  // the axis has no direction: points stay
    Vec3 center;
    Mat4 rotation;
};

struct HarmonikRule {
    Vec3 center;
    float tetaFrequency, phiFrequency;
    bool extremized;
    float extremizerGain;
    double wavePhase;  // radians; kept in double as the rule sums it
    float troughScale;
    double scaleSpan;  // crestScale - troughScale, unrounded as the rule uses it
};

struct ElipsoidRule {
    Vec3 center;
    float exponentTeta, exponentPhi;
};

struct TwistRule {
    Vec3 center, dirX, dirY, dirZ;
    float twistRate;
    double turnAngle;  // the rotation clock's angle, 6.2831855 v
};

struct CosineRule {
    Vec3 center;
    Vec3 ex, ey, ez;     // the frame's unit axes
    Mat4 frame;          // frame to world
    float spatial[3];    // spatial frequencies along x, y, z
    double timePhase;    // the clock's share of the wave's argument
    float k;             // intensity factor
    bool tangent;
};

struct MagnetRule {
    Vec3 position;
    float radius, radiusSquared, power;
    double reach;  // |radius|
};

template <class Rule>
using BatchRule = void (*)(const Rule& rule, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths);

struct BatchRules {
    BatchRule<TranslateRule> translate;
    BatchRule<ScaleRule> scale;
    BatchRule<OffsetRule> offset;
    BatchRule<RotateRule> rotate;
    BatchRule<HarmonikRule> harmonik;
    BatchRule<ElipsoidRule> elipsoid;
    BatchRule<TwistRule> twist;
    BatchRule<CosineRule> cosine;
    BatchRule<MagnetRule> magnet;
    // Adds every face's area times its unnormalised normal to its corners'
    // normals, in face order (the floats of faceArea and faceNormal).
    void (*addFaceNormals)(const Vec3* vertices, const uint32_t* faces, uint32_t faceCount, Vec3* normals);
    // normalize() of each of n vectors.
    void (*normalizeAll)(Vec3* v, uint32_t n);
    // lengths[i] = the distance from point i to point i + 1, 0.0001 for
    // exactly 0, for i below n - 1.
    void (*segmentLengths)(const Vec3* points, uint32_t n, float* lengths);
};

enum class InstructionSet { sse2, avx2, avx512 };

// The rules for the widest instruction set this processor runs.
const BatchRules& batchRules();
// The rules for one set; null when the library lacks them or the processor
// cannot run them.
const BatchRules* batchRulesFor(InstructionSet set);
