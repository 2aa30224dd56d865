// Cosine's rule: every point displaced along the frame's axes by a cosine
// (or tangent) wave of each of its world coordinates, then placed by the
// frame.
#pragma once

#include "scene/batch_rules.h"
#include "scene/scalar_math.h"
#include "scene/vec_math.h"

struct CosineRule {
    Vec3 center;
    Vec3 ex, ey, ez;     // the frame's unit axes
    Mat4 frame;          // frame to world
    float spatial[3];    // spatial frequencies along x, y, z
    double timePhase;    // the clock's share of the wave's argument
    float k;             // intensity factor
    bool tangent;
};

inline float cosineWave(const CosineRule& k, float coordinate, float spatial) {
    const double x = double(spatial) * coordinate + k.timePhase;
    return float(k.tangent ? fxmath::tan(x) : fxmath::cos(x));
}

inline Vec3 movePoint(const CosineRule& k, const Vec3& p) {
    const Vec3 d = difference(p, k.center);
    const Vec3 l{dot(d, k.ex), dot(d, k.ey), dot(d, k.ez)};
    const Vec3 w{cosineWave(k, p.x, k.spatial[0]), cosineWave(k, p.y, k.spatial[1]), cosineWave(k, p.z, k.spatial[2])};
    return transformPoint(k.frame, sum(l, scaled(w, k.k)));
}

FX_LANES(CosineRule)
