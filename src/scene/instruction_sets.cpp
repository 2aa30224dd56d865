#include "scene/instruction_sets.h"

// libgcc's checks ask the operating system too: AVX2 counts only where
// XGETBV shows it saves the YMM registers (and AVX-512 the ZMM ones).
bool processorRuns(InstructionSet set) {
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
}
