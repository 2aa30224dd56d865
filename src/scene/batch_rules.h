// Rules that move many points at once, several per instruction. A table of
// such rules is compiled once per instruction set (scene/instruction_sets.h).
//
// A rule takes n records of `stride` bytes whose first three floats are a
// point (a particle, a spline point, a vertex) and makes out's records
// in's, their points moved; `in` and `out` are the same records or do not
// overlap. Given `lengths`, the records being a curve's points, it also
// writes the lengths of the n - 1 segments between the moved points, as
// updateLengths computes them.
#pragma once

#include <cstddef>

#include "scene/instruction_sets.h"
#include "scene/vec_math.h"

template <class Rule>
using BatchRule = void (*)(const Rule& rule, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths);
