#include "scene/batch_rules.h"

#include <initializer_list>

// Each table is defined by the file compiled for its instruction set.
namespace lanes {
namespace sse2 {
extern const BatchRules kRules;
}
#if defined(__x86_64__)
namespace avx2 {
extern const BatchRules kRules;
}
namespace avx512 {
extern const BatchRules kRules;
}
#endif
}  // namespace lanes

namespace {
bool runs(InstructionSet set) {
#if defined(__x86_64__)
    __builtin_cpu_init();  // may run before the library's other constructors
    switch (set) {
        case InstructionSet::sse2: return true;
        case InstructionSet::avx2: return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
        case InstructionSet::avx512:
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
                   __builtin_cpu_supports("avx512vl") &&
                   __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    }
    return false;
#else
    return set == InstructionSet::sse2;  // the 32-bit builds carry SSE2 only
#endif
}

const BatchRules* widest() {
    for (InstructionSet set : {InstructionSet::avx512, InstructionSet::avx2, InstructionSet::sse2})
        if (const BatchRules* rules = batchRulesFor(set)) return rules;
    return &lanes::sse2::kRules;
}

// Chosen once, when the library loads.
const BatchRules* const kChosen = widest();
}  // namespace

const BatchRules* batchRulesFor(InstructionSet set) {
    if (!runs(set)) return nullptr;
    switch (set) {
        case InstructionSet::sse2: return &lanes::sse2::kRules;
#if defined(__x86_64__)
        case InstructionSet::avx2: return &lanes::avx2::kRules;
        case InstructionSet::avx512: return &lanes::avx512::kRules;
#else
        default: break;
#endif
    }
    return nullptr;
}

const BatchRules& batchRules() { return *kChosen; }
