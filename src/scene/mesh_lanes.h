// The normal rebuild on lanes: kWidth faces' weighted normals at a time,
// each step rounded as faceArea and faceNormal round, added to the corners
// one face after the other; then every sum normalised, kWidth at a time.
#pragma once

#include "scene/lane_records.h"

namespace lanes {
inline namespace FX_LANES_ISA {

// Each face's area times its unnormalised normal, for `count` faces (lanes
// past it repeat the last face).
inline FloatPoints weightedNormals(const Vec3* v, const uint32_t* f, int count) {
    const auto corner = [&](int j) {
        return gatherFloats([&](int i) { return &v[f[3 * (i < count ? i : count - 1) + j]].x; });
    };
    const FloatPoints a = corner(0), b = corner(1), c = corner(2);
    // Differences, the foot's product and sums, the quotient and the final products are float operations.
    const F ex = c.x - b.x, ey = c.y - b.y, ez = c.z - b.z;
    const D exd = widen(ex), eyd = widen(ey), ezd = widen(ez);
    const F base = narrow(exd * exd + eyd * eyd + ezd * ezd);
    const F dot = narrow(widen(a.z - b.z) * ezd + widen(a.y - b.y) * eyd + widen(a.x - b.x) * exd);
    const F t = dot / base;
    const D hx = widen(b.x + t * ex - a.x), hy = widen(b.y + t * ey - a.y), hz = widen(b.z + t * ez - a.z);
    const D height = toFloat(hx * hx + hy * hy + hz * hz), based = widen(base);
    // Below 1e-6 (a double compare) the face has no area.
    const F area = narrow(select(based < splat(1e-6), splat(0.0), splat(0.5) * sqrt(height * based)));
    const D bax = widen(b.x - a.x), bay = widen(b.y - a.y), baz = widen(b.z - a.z);
    const D cax = widen(c.x - a.x), cay = widen(c.y - a.y), caz = widen(c.z - a.z);
    return {area * narrow(bay * caz - baz * cay), area * narrow(baz * cax - bax * caz),
            area * narrow(bax * cay - bay * cax)};
}

// The weighted normals of a run of faces are computed first, then added
// to the corners in face order: the arithmetic never waits on the sums.
inline void addFaceNormals(const Vec3* v, const uint32_t* faces, uint32_t faceCount, Vec3* normals) {
    constexpr uint32_t kRun = 16 * kWidth;
    alignas(64) float wx[kRun + kWidth], wy[kRun + kWidth], wz[kRun + kWidth];
    for (uint32_t first = 0; first < faceCount; first += kRun) {
        const uint32_t run = faceCount - first < kRun ? faceCount - first : kRun;
        const uint32_t* f = faces + 3 * size_t(first);
        for (uint32_t i = 0; i < run; i += kWidth) {
            const int count = run - i < uint32_t(kWidth) ? int(run - i) : kWidth;
            const FloatPoints w = weightedNormals(v, f + 3 * size_t(i), count);
            storeF(wx + i, w.x);
            storeF(wy + i, w.y);
            storeF(wz + i, w.z);
        }
        for (uint32_t i = 0; i < run; ++i)
            for (int j = 0; j < 3; ++j) {
                Vec3& m = normals[f[3 * i + j]];
                m = {m.x + wx[i], m.y + wy[i], m.z + wz[i]};
            }
    }
}

// normalize(): a vector of squared length or length exactly 0 stays; the
// others are multiplied by 1 / length, taken in double. The length is the
// float root of the float squared length.
inline void normalizeAll(Vec3* v, uint32_t n) {
    eachFloatGroup(v, v, sizeof(Vec3), n, [](const FloatPoints& p) {
        const D x = widen(p.x), y = widen(p.y), z = widen(p.z);
        const F q = narrow(x * x + y * y + z * z), l = sqrt(q);
        const FMask stays = (q == splatF(0.0f)) | (l == splatF(0.0f));
        const D r = splat(1.0) / widen(l);
        return FloatPoints{select(stays, p.x, narrow(r * x)), select(stays, p.y, narrow(r * y)),
                           select(stays, p.z, narrow(r * z))};
    });
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
