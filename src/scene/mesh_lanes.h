// The normal rebuild on lanes: kWidth faces' weighted normals at a time,
// each step rounded as faceArea and faceNormal round, then every vertex's
// sum in face order, normalised kWidth at a time. Two ways through the
// faces: in face order, each face's normal added to its corners in memory;
// or along a NormalPlan, each vertex's sum gathered in a register.
#pragma once

#include "scene/lane_records.h"
#include "scene/normal_plan.h"

namespace lanes {
inline namespace FX_LANES_ISA {

// a * b + c and a * b - c for a and b floats widened. Their product is exact
// in double, so fusing rounds once, as the product and the sum round.
inline D productPlus(D a, D b, D c) {
#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
    return {_mm512_fmadd_pd(a.v, b.v, c.v)};
#elif defined(__AVX2__) && defined(__FMA__)
    return {_mm256_fmadd_pd(a.v, b.v, c.v)};
#else
    return a * b + c;
#endif
}
inline D productMinus(D a, D b, D c) {
#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
    return {_mm512_fmsub_pd(a.v, b.v, c.v)};
#elif defined(__AVX2__) && defined(__FMA__)
    return {_mm256_fmsub_pd(a.v, b.v, c.v)};
#else
    return a * b - c;
#endif
}

// Each face's area times its unnormalised normal, for faces with corners
// a, b, c.
inline FloatPoints weightedNormals(const FloatPoints& a, const FloatPoints& b, const FloatPoints& c) {
    // Differences, the foot's product and sums, the quotient and the final products are float operations.
    const F ex = c.x - b.x, ey = c.y - b.y, ez = c.z - b.z;
    const F bax = b.x - a.x, bay = b.y - a.y, baz = b.z - a.z;
    const D exd = widen(ex), eyd = widen(ey), ezd = widen(ez);
    const D baxd = widen(bax), bayd = widen(bay), bazd = widen(baz);
    const F base = narrow(productPlus(ezd, ezd, productPlus(eyd, eyd, exd * exd)));
    // (a - b) . e is -((b - a) . e), rounded alike: the foot is b minus the step along e for that
    // quotient. The two ways differ at most in the sign of a zero, which the squared height drops.
    const F t = narrow(productPlus(baxd, exd, productPlus(bayd, eyd, bazd * ezd))) / base;
    const D hx = widen(b.x - t * ex - a.x), hy = widen(b.y - t * ey - a.y), hz = widen(b.z - t * ez - a.z);
    const D height = toFloat(productPlus(hz, hz, productPlus(hy, hy, hx * hx))), based = widen(base);
    // Below 1e-6 (a double compare) the face has no area.
    const F area = narrow(select(based < splat(1e-6), splat(0.0), splat(0.5) * sqrt(height * based)));
    const D caxd = widen(c.x - a.x), cayd = widen(c.y - a.y), cazd = widen(c.z - a.z);
    return {area * narrow(productMinus(bayd, cazd, bazd * cayd)), area * narrow(productMinus(bazd, caxd, baxd * cazd)),
            area * narrow(productMinus(baxd, cayd, bayd * caxd))};
}

// Corner j of the kWidth faces at f, read a float at a time; lanes past
// `count` repeat the last face.
inline FloatPoints cornerPoints(const Vec3* v, const uint32_t* f, int j, int count = kWidth) {
    return gatherFloats([&](int i) { return &v[f[3 * (i < count ? i : count - 1) + j]].x; });
}

// Corner j of the kWidth faces at f, each point read as 16 bytes and the
// four floats of each transposed: never a face naming v's last point.
inline FloatPoints widePoints(const Vec3* v, const uint32_t* f, int j) {
    const auto at = [&](int i) { return _mm_loadu_ps(&v[f[3 * i + j]].x); };
#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
    const __m256 p0 = _mm256_set_m128(at(4), at(0)), p1 = _mm256_set_m128(at(5), at(1));
    const __m256 p2 = _mm256_set_m128(at(6), at(2)), p3 = _mm256_set_m128(at(7), at(3));
    const __m256 xy01 = _mm256_unpacklo_ps(p0, p1), xy23 = _mm256_unpacklo_ps(p2, p3);
    const __m256 z01 = _mm256_unpackhi_ps(p0, p1), z23 = _mm256_unpackhi_ps(p2, p3);
    return {{_mm256_shuffle_ps(xy01, xy23, _MM_SHUFFLE(1, 0, 1, 0))},
            {_mm256_shuffle_ps(xy01, xy23, _MM_SHUFFLE(3, 2, 3, 2))},
            {_mm256_shuffle_ps(z01, z23, _MM_SHUFFLE(1, 0, 1, 0))}};
#elif defined(__AVX2__) && defined(__FMA__)
    const __m128 p0 = at(0), p1 = at(1), p2 = at(2), p3 = at(3);
    const __m128 xy01 = _mm_unpacklo_ps(p0, p1), xy23 = _mm_unpacklo_ps(p2, p3);
    const __m128 z01 = _mm_unpackhi_ps(p0, p1), z23 = _mm_unpackhi_ps(p2, p3);
    return {{_mm_movelh_ps(xy01, xy23)}, {_mm_movehl_ps(xy23, xy01)}, {_mm_movelh_ps(z01, z23)}};
#else
    const __m128 zero = _mm_setzero_ps(), p0 = at(0), p1 = at(1);
    const __m128 xy = _mm_unpacklo_ps(p0, p1), z = _mm_unpackhi_ps(p0, p1);
    return {{_mm_movelh_ps(xy, zero)}, {_mm_movehl_ps(zero, xy)}, {_mm_movelh_ps(z, zero)}};
#endif
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
            const uint32_t* g = f + 3 * size_t(i);
            const FloatPoints w =
                weightedNormals(cornerPoints(v, g, 0, count), cornerPoints(v, g, 1, count), cornerPoints(v, g, 2, count));
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
inline FloatPoints normalized(const FloatPoints& p) {
    const D x = widen(p.x), y = widen(p.y), z = widen(p.z);
    const F q = narrow(x * x + y * y + z * z), l = sqrt(q);
    const FMask stays = (q == splatF(0.0f)) | (l == splatF(0.0f));
    const D r = splat(1.0) / widen(l);
    return {select(stays, p.x, narrow(r * x)), select(stays, p.y, narrow(r * y)), select(stays, p.z, narrow(r * z))};
}

inline void normalizeAll(Vec3* v, uint32_t n) {
    eachFloatGroup(v, v, sizeof(Vec3), n, [](const FloatPoints& p) { return normalized(p); });
}

// ---------------------------------------------------------------- along a plan

// kWidth points as vectors of four floats, x y z 0, and back; every set
// reads four points at a time (SSE2 two by two).
inline void toQuads(const FloatPoints& p, __m128* out) {
#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
    const __m256 zero = _mm256_setzero_ps();
    const __m256 xy0 = _mm256_unpacklo_ps(p.x.v, p.y.v), xy1 = _mm256_unpackhi_ps(p.x.v, p.y.v);
    const __m256 z0 = _mm256_unpacklo_ps(p.z.v, zero), z1 = _mm256_unpackhi_ps(p.z.v, zero);
    const __m256 q0 = _mm256_shuffle_ps(xy0, z0, _MM_SHUFFLE(1, 0, 1, 0)), q1 = _mm256_shuffle_ps(xy0, z0, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 q2 = _mm256_shuffle_ps(xy1, z1, _MM_SHUFFLE(1, 0, 1, 0)), q3 = _mm256_shuffle_ps(xy1, z1, _MM_SHUFFLE(3, 2, 3, 2));
    out[0] = _mm256_castps256_ps128(q0);
    out[1] = _mm256_castps256_ps128(q1);
    out[2] = _mm256_castps256_ps128(q2);
    out[3] = _mm256_castps256_ps128(q3);
    out[4] = _mm256_extractf128_ps(q0, 1);
    out[5] = _mm256_extractf128_ps(q1, 1);
    out[6] = _mm256_extractf128_ps(q2, 1);
    out[7] = _mm256_extractf128_ps(q3, 1);
#else
    const __m128 zero = _mm_setzero_ps();
    const __m128 xy0 = _mm_unpacklo_ps(p.x.v, p.y.v), z0 = _mm_unpacklo_ps(p.z.v, zero);
    out[0] = _mm_movelh_ps(xy0, z0);
    out[1] = _mm_movehl_ps(z0, xy0);
#if defined(__AVX2__) && defined(__FMA__)
    const __m128 xy1 = _mm_unpackhi_ps(p.x.v, p.y.v), z1 = _mm_unpackhi_ps(p.z.v, zero);
    out[2] = _mm_movelh_ps(xy1, z1);
    out[3] = _mm_movehl_ps(z1, xy1);
#endif
#endif
}

inline FloatPoints fromQuads(const __m128* q) {
#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
    const __m256 p0 = _mm256_set_m128(q[4], q[0]), p1 = _mm256_set_m128(q[5], q[1]);
    const __m256 p2 = _mm256_set_m128(q[6], q[2]), p3 = _mm256_set_m128(q[7], q[3]);
    const __m256 xy01 = _mm256_unpacklo_ps(p0, p1), xy23 = _mm256_unpacklo_ps(p2, p3);
    const __m256 z01 = _mm256_unpackhi_ps(p0, p1), z23 = _mm256_unpackhi_ps(p2, p3);
    return {{_mm256_shuffle_ps(xy01, xy23, _MM_SHUFFLE(1, 0, 1, 0))},
            {_mm256_shuffle_ps(xy01, xy23, _MM_SHUFFLE(3, 2, 3, 2))},
            {_mm256_shuffle_ps(z01, z23, _MM_SHUFFLE(1, 0, 1, 0))}};
#elif defined(__AVX2__) && defined(__FMA__)
    const __m128 xy01 = _mm_unpacklo_ps(q[0], q[1]), xy23 = _mm_unpacklo_ps(q[2], q[3]);
    const __m128 z01 = _mm_unpackhi_ps(q[0], q[1]), z23 = _mm_unpackhi_ps(q[2], q[3]);
    return {{_mm_movelh_ps(xy01, xy23)}, {_mm_movehl_ps(xy23, xy01)}, {_mm_movelh_ps(z01, z23)}};
#else
    const __m128 zero = _mm_setzero_ps();
    const __m128 xy = _mm_unpacklo_ps(q[0], q[1]), z = _mm_unpackhi_ps(q[0], q[1]);
    return {{_mm_movelh_ps(xy, zero)}, {_mm_movehl_ps(zero, xy)}, {_mm_movelh_ps(z, zero)}};
#endif
}

// One group of the plan: its vertices' sums, added in face order (the zero
// slot adds +0, which changes no sum: a sum that starts at +0 is never -0),
// normalised and stored.
FX_ALWAYS_INLINE inline void finishGroup(const NormalPlan& plan, uint32_t g, const char* ring, Vec3* normals) {
    constexpr uint32_t kGroup = NormalPlan::kGroup, kQuads = kWidth < 4 ? 4 : kWidth;
    const uint32_t* top = plan.slots + plan.rows[g];
    const uint32_t* bottom = plan.slots + plan.rows[g + 1];
    const uint32_t* who = plan.vertices + kGroup * g;
    for (uint32_t h = 0; h < kGroup; h += kQuads) {
        __m128 sums[kQuads];
        _Pragma("GCC unroll 8") for (uint32_t k = 0; k < kQuads; ++k) sums[k] = _mm_setzero_ps();
        for (const uint32_t* row = top + h; row < bottom; row += kGroup)
            _Pragma("GCC unroll 8") for (uint32_t k = 0; k < kQuads; ++k)
                sums[k] = _mm_add_ps(sums[k], _mm_load_ps(reinterpret_cast<const float*>(ring + 8 * size_t(row[k]))));
        _Pragma("GCC unroll 4") for (uint32_t i = 0; i < kQuads; i += kWidth) {
            __m128 out[kWidth < 4 ? 4 : kWidth];
            toQuads(normalized(fromQuads(sums + i)), out);
            _Pragma("GCC unroll 8") for (int k = 0; k < kWidth; ++k) {
                float* n = &normals[who[h + i + k]].x;
                _mm_storel_pi(reinterpret_cast<__m64*>(n), out[k]);
                _mm_store_ss(n + 2, _mm_movehl_ps(out[k], out[k]));
            }
        }
    }
}

// Every vertex's normal along the plan: `faces` are the mesh's, read when
// the plan keeps no order of its own.
FX_RULE inline void rebuildNormals(const NormalPlan& plan, const Vec3* v, const uint32_t* faces, Vec3* normals) {
    const uint32_t* order = plan.faces ? plan.faces : faces;
    const uint32_t n = plan.faceCount;
    char* ring = reinterpret_cast<char*>(plan.ring);
    uint32_t g = 0;
    for (uint32_t c = 0; c < plan.chunkCount; ++c) {
        const uint32_t first = c * NormalPlan::kChunk, end = n - first < NormalPlan::kChunk ? n : first + NormalPlan::kChunk;
        const bool narrowChunk = plan.finished[c] & NormalPlan::kNarrowChunk;
        for (uint32_t p = first; p < end; p += kWidth) {
            const uint32_t* f = order + 3 * size_t(p);
            FloatPoints w;
            if (narrowChunk) {
                const int count = end - p < uint32_t(kWidth) ? int(end - p) : kWidth;
                w = weightedNormals(cornerPoints(v, f, 0, count), cornerPoints(v, f, 1, count), cornerPoints(v, f, 2, count));
            } else {
                w = weightedNormals(widePoints(v, f, 0), widePoints(v, f, 1), widePoints(v, f, 2));
            }
            __m128 quads[kWidth < 4 ? 4 : kWidth];
            toQuads(w, quads);
            float* slot = reinterpret_cast<float*>(ring + 16 * size_t(p & plan.ringMask));
            _Pragma("GCC unroll 8") for (int k = 0; k < kWidth; ++k) _mm_store_ps(slot + 4 * k, quads[k]);
        }
        for (const uint32_t done = plan.finished[c] & ~NormalPlan::kNarrowChunk; g < done; ++g)
            finishGroup(plan, g, ring, normals);
    }
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
