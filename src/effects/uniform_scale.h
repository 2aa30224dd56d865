// Three size parameters mapped to scale factors, and the "uniform" flag that
// links them: while it is on, an edited size carries the other two along.
#pragma once

#include "fx/abi.h"
#include "scene/exp_range.h"

extern const ExpRange kScaleFactorCurve;  // (0.01, 1.0, 100.0): the size factors and their inverse

struct UniformScale {
    float uniform;          // "uniform": link the three sizes
    float previousUniform;  // uniform at the last update (or start)
    float sizeX, sizeY, sizeZ;  // "size x", "size y", "size z", 0..1
    float previousSizeX, previousSizeY, previousSizeZ;

    // "size x", "size y", "size z" (0.5 each: factor 1) and "uniform" (on),
    // each name prefixed with `prefix`.
    void addParams(FxParamHost* host, const char* prefix);
    // The factors of the three sizes, 0.01 to 100 with 1 at the middle.
    Vec3 factors() const;
    // Takes the current sizes and flag as the reference for edits.
    void remember();
    // Evens or propagates the sizes while the link is on, then remembers.
    void link();
};
