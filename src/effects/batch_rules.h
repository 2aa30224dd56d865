// The effects' point rules applied to many points at once (see
// scene/batch_rules.h), and the per-pass constants each reads. Every rule
// gives the floats of the effect's movePoint, up to the last-bit differences
// of its vectorised sin, cos, tan, atan2 and pow. A new effect with a batch
// rule adds its record and its member here and its lanes to
// batch_rules_table.h.
#pragma once

#include "fx/abi.h"
#include "scene/batch_rules.h"
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
};

// The rules for the widest instruction set this processor runs.
const BatchRules& batchRules();
// The rules for one set; null when the library lacks them or the processor
// cannot run them.
const BatchRules* batchRulesFor(InstructionSet set);
