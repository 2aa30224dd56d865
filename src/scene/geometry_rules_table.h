// The table of geometry rules, compiled once per instruction set
// (cmake/lanes.cmake). Nothing here calls the scalar helpers of vec_math.h:
// an inline function compiled for a wider set must never be the copy the
// rest of the library links to.
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
