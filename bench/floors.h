// What no implementation of a pass can beat, measured beside it: a plain copy
// of the bytes a pass hands back, a tight area-weighted normal kernel, and per
// effect a plain loop making the rule's double-precision math calls per point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "fx/abi.h"

// Points as a pass reads them: n records of `stride` bytes, position first.
struct PointView {
    const char* base;
    size_t stride;
    uint32_t n;
    const Vec3& operator[](uint32_t i) const { return *reinterpret_cast<const Vec3*>(base + i * stride); }
};

// Zeroes `normals`, adds every face's cross product times its area (half
// the cross product's length) to its three corners, normalises each vertex.
void normalKernel(const Vec3* vertices, uint32_t vertexCount, const uint32_t* faces, uint32_t faceCount,
                  Vec3* normals);

// The libm calls of an effect's rule on every point, in a plain loop; false
// when the rule calls none (its floor is the copy alone) or the bench has no
// model of it (hasLoopPeer false).
bool hasLoopPeer(const std::string& effect);
bool hasMathLoop(const std::string& effect);
double mathLoop(const std::string& effect, const PointView& points);
