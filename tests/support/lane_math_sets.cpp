// The SSE2 instance, and the choice of set.
#include "lane_math_on_set.h"

namespace lanes {
namespace avx2 {
double laneMath(MathFunction f, double x, double y);
}
#if defined(__x86_64__)
namespace avx512 {
double laneMath(MathFunction f, double x, double y);
}
#endif
}  // namespace lanes

double laneMath(InstructionSet set, MathFunction f, double x, double y) {
    if (set == InstructionSet::avx2) return lanes::avx2::laneMath(f, x, y);
#if defined(__x86_64__)
    if (set == InstructionSet::avx512) return lanes::avx512::laneMath(f, x, y);
#endif
    (void)set;
    return lanes::sse2::laneMath(f, x, y);
}
