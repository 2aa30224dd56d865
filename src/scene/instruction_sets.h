// The instruction sets the lanes are compiled for, and the one place that
// picks among the copies of something compiled once per set: SSE2 and AVX2
// in every build, AVX-512 as well on x86-64 (cmake/lanes.cmake compiles a
// header once per set). Each set's copy lives in its own namespace,
// lanes::sse2, lanes::avx2 or lanes::avx512, so the copies never meet at
// link time; the widest set the processor runs is chosen when the library
// loads.
#pragma once

#include <initializer_list>

enum class InstructionSet { sse2, avx2, avx512 };
inline constexpr InstructionSet kInstructionSets[] = {InstructionSet::sse2, InstructionSet::avx2,
                                                      InstructionSet::avx512};

// Whether this processor runs the set.
bool processorRuns(InstructionSet set);

// One pointer (to a function or a table) per set; null for a set the library
// lacks (the 32-bit builds carry no AVX-512).
template <class T>
struct PerSet {
    T sse2, avx2, avx512;

    // Null when the library lacks the set or the processor cannot run it.
    T forSet(InstructionSet set) const {
        if (!processorRuns(set)) return nullptr;
        return set == InstructionSet::sse2 ? sse2 : set == InstructionSet::avx2 ? avx2 : avx512;
    }
    T widest() const {
        for (InstructionSet set : {InstructionSet::avx512, InstructionSet::avx2})
            if (const T chosen = forSet(set)) return chosen;
        return sse2;
    }
};

#if defined(__x86_64__)
#define FX_IN_AVX512(...) namespace avx512 { __VA_ARGS__; }
#define FX_AVX512_ADDRESS(name) &lanes::avx512::name
#else
#define FX_IN_AVX512(...)
#define FX_AVX512_ADDRESS(name) nullptr
#endif

// Declares what a header compiled once per set defines, in each set's
// namespace. In a set's own compile (scene/lanes.h, included first, makes
// that set's namespace the inline one) the definitions stand alone.
#if defined(FX_LANES_ISA)
#define FX_DECLARE_PER_SET(...)
#else
#define FX_DECLARE_PER_SET(...)                 \
    namespace lanes {                           \
    namespace sse2 {                            \
    __VA_ARGS__;                                \
    }                                           \
    namespace avx2 {                            \
    __VA_ARGS__;                                \
    }                                           \
    FX_IN_AVX512(__VA_ARGS__)                   \
    }
#endif

// The initializer of a PerSet: the address of `name` in each set's namespace
// (for an overloaded function, the one the PerSet's type names).
#define FX_PER_SET(name) {&lanes::sse2::name, &lanes::avx2::name, FX_AVX512_ADDRESS(name)}
