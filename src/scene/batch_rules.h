// Rules that move many points at once, several per instruction. A table of
// such rules is compiled once per instruction set (SSE2 and AVX2 everywhere,
// AVX-512 as well on x86-64), one source file per set, and the widest set
// the processor runs is chosen once, when the library loads.
//
// A rule takes n records of `stride` bytes whose first three floats are a
// point (a particle, a spline point, a vertex) and makes out's records
// in's, their points moved; `in` and `out` are the same records or do not
// overlap. Given `lengths`, the records being a curve's points, it also
// writes the lengths of the n - 1 segments between the moved points, as
// updateLengths computes them.
#pragma once

#include <cstddef>
#include <initializer_list>

#include "scene/vec_math.h"

template <class Rule>
using BatchRule = void (*)(const Rule& rule, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths);

enum class InstructionSet { sse2, avx2, avx512 };

// Whether this processor runs the set.
bool processorRuns(InstructionSet set);

// A table of rules as compiled for each set; null for a set the library
// lacks (the 32-bit builds carry no AVX-512).
template <class Table>
struct RulesPerSet {
    const Table* sse2;
    const Table* avx2;
    const Table* avx512;

    // Null when the library lacks the set or the processor cannot run it.
    const Table* forSet(InstructionSet set) const {
        if (!processorRuns(set)) return nullptr;
        return set == InstructionSet::sse2 ? sse2 : set == InstructionSet::avx2 ? avx2 : avx512;
    }
    const Table& widest() const {
        for (InstructionSet set : {InstructionSet::avx512, InstructionSet::avx2})
            if (const Table* table = forSet(set)) return *table;
        return *sse2;
    }
};
