#include "effects/batch_rules.h"

// Each set's table is defined by batch_rules_table.h, compiled for it.
FX_DECLARE_PER_SET(extern const BatchRules kRules)

namespace {
constexpr PerSet<const BatchRules*> kTables FX_PER_SET(kRules);

// Chosen once, when the library loads.
const BatchRules* const kChosen = kTables.widest();
}  // namespace

const BatchRules* batchRulesFor(InstructionSet set) { return kTables.forSet(set); }

const BatchRules& batchRules() { return *kChosen; }
