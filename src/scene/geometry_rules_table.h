// The table of geometry rules for the instruction set the including file is
// compiled for; geometry_rules_sse2.cpp, geometry_rules_avx2.cpp and
// geometry_rules_avx512.cpp each include it once. Nothing here calls the
// scalar helpers of vec_math.h: an inline function compiled for a wider set
// must never be the copy the rest of the library links to.
#pragma once

#include "scene/geometry_rules.h"
#include "scene/mesh_lanes.h"
#include "scene/spline_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {
extern const GeometryRules kGeometryRules;
const GeometryRules kGeometryRules = {addFaceNormals, normalizeAll, rebuildNormals, segmentLengths};
}  // namespace FX_LANES_ISA
}  // namespace lanes
