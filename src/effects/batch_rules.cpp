#include "effects/batch_rules.h"

// Each table is defined by the file compiled for its instruction set.
namespace lanes {
namespace sse2 {
extern const BatchRules kRules;
}
namespace avx2 {
extern const BatchRules kRules;
}
#if defined(__x86_64__)
namespace avx512 {
extern const BatchRules kRules;
}
#endif
}  // namespace lanes

namespace {
#if defined(__x86_64__)
constexpr RulesPerSet<BatchRules> kTables{&lanes::sse2::kRules, &lanes::avx2::kRules, &lanes::avx512::kRules};
#else
constexpr RulesPerSet<BatchRules> kTables{&lanes::sse2::kRules, &lanes::avx2::kRules, nullptr};
#endif

// Chosen once, when the library loads.
const BatchRules* const kChosen = &kTables.widest();
}  // namespace

const BatchRules* batchRulesFor(InstructionSet set) { return kTables.forSet(set); }

const BatchRules& batchRules() { return *kChosen; }
