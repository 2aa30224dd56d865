#include "scene/geometry_rules.h"

// Each set's table is defined by geometry_rules_table.h, compiled for it.
FX_DECLARE_PER_SET(extern const GeometryRules kGeometryRules)

namespace {
constexpr PerSet<const GeometryRules*> kTables FX_PER_SET(kGeometryRules);

// Chosen once, when the library loads.
const GeometryRules* const kChosen = kTables.widest();
}  // namespace

const GeometryRules* geometryRulesFor(InstructionSet set) { return kTables.forSet(set); }

const GeometryRules& geometryRules() { return *kChosen; }
