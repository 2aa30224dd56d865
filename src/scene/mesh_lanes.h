// The normal rebuild on lanes: kWidth faces' weighted normals at a time,
// each step rounded as faceArea and faceNormal round, added to the corners
// one face after the other; then every sum normalised, kWidth at a time.
#pragma once

#include "scene/lanes.h"

namespace lanes {
inline namespace FX_LANES_ISA {

inline void addFaceNormals(const Vec3* v, const uint32_t* faces, uint32_t faceCount, Vec3* normals) {
    alignas(64) float wx[kWidth], wy[kWidth], wz[kWidth];
    for (uint32_t first = 0; first < faceCount; first += kWidth) {
        const int count = faceCount - first < uint32_t(kWidth) ? int(faceCount - first) : kWidth;
        const uint32_t* f = faces + 3 * size_t(first);
        const auto corner = [&](int j) {
            return gatherPoints([&](int i) { return &v[f[3 * (i < count ? i : count - 1) + j]].x; });
        };
        const Points a = corner(0), b = corner(1), c = corner(2);
        const D ex = toFloat(c.x - b.x), ey = toFloat(c.y - b.y), ez = toFloat(c.z - b.z);
        const D base = toFloat(ex * ex + ey * ey + ez * ez);
        const D abx = toFloat(a.x - b.x), aby = toFloat(a.y - b.y), abz = toFloat(a.z - b.z);
        const D t = toFloat(toFloat(abz * ez + aby * ey + abx * ex) / base);
        const D hx = toFloat(toFloat(b.x + toFloat(t * ex)) - a.x);
        const D hy = toFloat(toFloat(b.y + toFloat(t * ey)) - a.y);
        const D hz = toFloat(toFloat(b.z + toFloat(t * ez)) - a.z);
        const D height = toFloat(hx * hx + hy * hy + hz * hz);
        // Below 1e-6 (double compare) the face has no area.
        const D area = select(base < splat(1e-6), splat(0.0), toFloat(splat(0.5) * sqrt(height * base)));
        const D bax = toFloat(b.x - a.x), bay = toFloat(b.y - a.y), baz = toFloat(b.z - a.z);
        const D cax = toFloat(c.x - a.x), cay = toFloat(c.y - a.y), caz = toFloat(c.z - a.z);
        toFloats(wx, area * toFloat(bay * caz - baz * cay));
        toFloats(wy, area * toFloat(baz * cax - bax * caz));
        toFloats(wz, area * toFloat(bax * cay - bay * cax));
        for (int i = 0; i < count; ++i)
            for (int j = 0; j < 3; ++j) {
                Vec3& m = normals[f[3 * i + j]];
                m = {m.x + wx[i], m.y + wy[i], m.z + wz[i]};
            }
    }
}

// normalize(): a vector of squared length or length exactly 0 stays; the
// others are multiplied by 1 / length, taken in double.
inline void normalizeAll(Vec3* v, uint32_t n) {
    eachGroup(v, sizeof(Vec3), v, sizeof(Vec3), n, [](const Points& p) {
        const D q = toFloat(p.x * p.x + p.y * p.y + p.z * p.z);
        const D l = toFloat(sqrt(q));
        const Mask scales = (q != splat(0.0)) & (l != splat(0.0));
        const D r = splat(1.0) / l;
        return Points{select(scales, r * p.x, p.x), select(scales, r * p.y, p.y), select(scales, r * p.z, p.z)};
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
