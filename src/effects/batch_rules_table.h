// The table of batch rules, compiled once per instruction set
// (cmake/lanes.cmake). Nothing here calls the scalar helpers of vec_math.h:
// an inline function compiled for a wider set must never be the copy the
// rest of the library links to.
#pragma once

#include "effects/affine_lanes.h"
#include "effects/batch_rules.h"
#include "effects/cosine_lanes.h"
#include "effects/elipsoid_lanes.h"
#include "effects/harmonik_lanes.h"
#include "effects/magnet_lanes.h"
#include "effects/twist_lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {
extern const BatchRules kRules;
const BatchRules kRules = {translatePoints, scalePoints,    offsetPoints, rotatePoints, harmonikPoints,
                           elipsoidPoints,  twistPoints,    cosinePoints, magnetPoints};
}  // namespace FX_LANES_ISA
}  // namespace lanes
