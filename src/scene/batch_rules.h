// Rules that move many points at once, several per instruction: an effect's
// rule record (the constants of one pass) may come with lanes, the rule
// written on lane vectors in a header compiled once per instruction set
// (scene/instruction_sets.h). The lanes give the floats of the record's
// scalar reference, `Vec3 movePoint(const Rule&, const Vec3&)`, to the bit.
//
// The lanes take n records of `stride` bytes whose first three floats are a
// point (a particle, a spline point, a vertex) and make out's records in's,
// their points moved; `in` and `out` are the same records or do not
// overlap. Given `lengths`, the records being a curve's points, they also
// write the lengths of the n - 1 segments between the moved points, as
// updateLengths computes them.
#pragma once

#include <cstddef>

#include "fx/abi.h"
#include "scene/instruction_sets.h"

template <class Rule>
using BatchRule = void (*)(const Rule& rule, const Vec3* in, Vec3* out, size_t stride, size_t n, float* lengths);

// The lanes of Rule on each set, for a record whose header declares them.
template <class Rule>
inline constexpr bool kHasLanes = false;
template <class Rule>
concept HasLanes = kHasLanes<Rule>;
template <class Rule>
inline constexpr PerSet<BatchRule<Rule>> kLanesOf{};

// The lanes of the widest set the processor runs, chosen when the library loads.
template <class Rule>
inline const BatchRule<Rule> kLanes = kLanesOf<Rule>.widest();

// Declares, beside Rule, the `movePoints(const Rule&, ...)` its lanes header
// defines for each set.
#define FX_LANES(Rule)                                                                           \
    FX_DECLARE_PER_SET(void movePoints(const Rule&, const Vec3*, Vec3*, size_t, size_t, float*)) \
    FX_LANES_OF(Rule)
#if defined(FX_LANES_ISA)
#define FX_LANES_OF(Rule)
#else
#define FX_LANES_OF(Rule)                         \
    template <>                                   \
    inline constexpr bool kHasLanes<Rule> = true; \
    template <>                                   \
    inline constexpr PerSet<BatchRule<Rule>> kLanesOf<Rule> = FX_PER_SET(movePoints);
#endif
