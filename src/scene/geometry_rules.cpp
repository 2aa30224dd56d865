#include "scene/geometry_rules.h"

// Each table is defined by the file compiled for its instruction set.
namespace lanes {
namespace sse2 {
extern const GeometryRules kGeometryRules;
}
namespace avx2 {
extern const GeometryRules kGeometryRules;
}
#if defined(__x86_64__)
namespace avx512 {
extern const GeometryRules kGeometryRules;
}
#endif
}  // namespace lanes

namespace {
#if defined(__x86_64__)
constexpr RulesPerSet<GeometryRules> kTables{&lanes::sse2::kGeometryRules, &lanes::avx2::kGeometryRules, &lanes::avx512::kGeometryRules};
#else
constexpr RulesPerSet<GeometryRules> kTables{&lanes::sse2::kGeometryRules, &lanes::avx2::kGeometryRules, nullptr};
#endif

// Chosen once, when the library loads.
const GeometryRules* const kChosen = &kTables.widest();
}  // namespace

const GeometryRules* geometryRulesFor(InstructionSet set) { return kTables.forSet(set); }

const GeometryRules& geometryRules() { return *kChosen; }
