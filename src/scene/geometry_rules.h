// The rebuilds the working copies need after their points moved, many
// points at once, compiled once per instruction set: mesh normals and curve
// segment lengths, bit for bit the floats of the straightforward rebuild.
#pragma once

#include <cstdint>

#include "scene/instruction_sets.h"
#include "scene/normal_plan.h"
#include "scene/vec_math.h"

struct GeometryRules {
    // Adds every face's area times its unnormalised normal to its corners'
    // normals, in face order (the floats of faceArea and faceNormal).
    void (*addFaceNormals)(const Vec3* vertices, const uint32_t* faces, uint32_t faceCount, Vec3* normals);
    // normalize() of each of n vectors.
    void (*normalizeAll)(Vec3* v, uint32_t n);
    // Every vertex's normal, addFaceNormals' sums normalised, along a plan
    // of the faces (whose own order it reads when the plan keeps none).
    void (*rebuildNormals)(const NormalPlan& plan, const Vec3* vertices, const uint32_t* faces, Vec3* normals);
    // lengths[i] = the distance from point i to point i + 1, 0.0001 for
    // exactly 0, for i below n - 1.
    void (*segmentLengths)(const Vec3* points, uint32_t n, float* lengths);
};

// The rebuilds for the widest instruction set this processor runs.
const GeometryRules& geometryRules();
// The rebuilds for one set; null when the library lacks them or the
// processor cannot run them.
const GeometryRules* geometryRulesFor(InstructionSet set);
