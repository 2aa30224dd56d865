// The normal rebuild on lanes: kWidth faces' weighted normals at a time,
// each step rounded as faceArea and faceNormal round, then every vertex's
// sum in face order, normalised kWidth at a time. Two ways through the
// faces: in face order, each face's normal added to its corners in memory;
// or along a NormalPlan, each vertex's sum gathered in a register.
#pragma once

#include "scene/lane_math.h"
#include "scene/lane_records.h"
#include "scene/normal_plan.h"

namespace lanes {
inline namespace FX_LANES_ISA {

// a * b + c, or a * b - c, for a and b floats widened. Their product is exact
// in double, so fusing rounds once, as the product and the sum round.
template <bool kSubtract>
inline D fusedProduct(D a, D b, D c) {
#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
    return {kSubtract ? _mm512_fmsub_pd(a.v, b.v, c.v) : _mm512_fmadd_pd(a.v, b.v, c.v)};
#elif defined(__AVX2__) && defined(__FMA__)
    return {kSubtract ? _mm256_fmsub_pd(a.v, b.v, c.v) : _mm256_fmadd_pd(a.v, b.v, c.v)};
#else
    return kSubtract ? a * b - c : a * b + c;
#endif
}
inline D productPlus(D a, D b, D c) { return fusedProduct<false>(a, b, c); }
// Rounded as productPlus rounds a * b + (-c), without the negation.
inline D productMinus(D a, D b, D c) { return fusedProduct<true>(a, b, c); }

// Groups of faces worked in step, each operation on all K groups before the
// next: a face's chain (two conversions, a division, a root) is long, and K
// of them interleave. As many as the set's registers hold.
#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
constexpr int kFacePack = 4;
#elif defined(__AVX2__) && defined(__FMA__) && defined(__x86_64__)
constexpr int kFacePack = 4;
#elif defined(__AVX2__) && defined(__FMA__)
constexpr int kFacePack = 2;
#else
constexpr int kFacePack = 1;
#endif

// Each face's area times its unnormalised normal, for K groups of faces with
// corners a, b, c.
template <int K>
FX_ALWAYS_INLINE inline void weightedNormals(const FloatPoints (&a)[K], const FloatPoints (&b)[K],
                                             const FloatPoints (&c)[K], FloatPoints (&w)[K]) {
    // Differences, the foot's product and sums, the quotient and the final products are float operations.
    F ex[K], ey[K], ez[K], base[K], t[K], area[K];
    D exd[K], eyd[K], ezd[K], baxd[K], bayd[K], bazd[K], hx[K], hy[K], hz[K], height[K], based[K];
    FX_PACK_EACH {
        ex[i] = c[i].x - b[i].x;
        ey[i] = c[i].y - b[i].y;
        ez[i] = c[i].z - b[i].z;
    }
    FX_PACK_EACH {
        exd[i] = widen(ex[i]);
        eyd[i] = widen(ey[i]);
        ezd[i] = widen(ez[i]);
        baxd[i] = widen(b[i].x - a[i].x);
        bayd[i] = widen(b[i].y - a[i].y);
        bazd[i] = widen(b[i].z - a[i].z);
    }
    FX_PACK_EACH base[i] = narrow(productPlus(ezd[i], ezd[i], productPlus(eyd[i], eyd[i], exd[i] * exd[i])));
    // (a - b) . e is -((b - a) . e), rounded alike: the foot is b minus the step along e for that
    // quotient. The two ways differ at most in the sign of a zero, which the squared height drops.
    FX_PACK_EACH t[i] = narrow(productPlus(baxd[i], exd[i], productPlus(bayd[i], eyd[i], bazd[i] * ezd[i]))) / base[i];
    FX_PACK_EACH {
        hx[i] = widen(b[i].x - t[i] * ex[i] - a[i].x);
        hy[i] = widen(b[i].y - t[i] * ey[i] - a[i].y);
        hz[i] = widen(b[i].z - t[i] * ez[i] - a[i].z);
    }
    FX_PACK_EACH {
        height[i] = toFloat(productPlus(hz[i], hz[i], productPlus(hy[i], hy[i], hx[i] * hx[i])));
        based[i] = widen(base[i]);
    }
    // Below 1e-6 (a double compare) the face has no area.
    FX_PACK_EACH area[i] = narrow(select(based[i] < splat(1e-6), splat(0.0), splat(0.5) * sqrt(height[i] * based[i])));
    FX_PACK_EACH {
        const D caxd = widen(c[i].x - a[i].x), cayd = widen(c[i].y - a[i].y), cazd = widen(c[i].z - a[i].z);
        w[i] = {area[i] * narrow(productMinus(bayd[i], cazd, bazd[i] * cayd)),
                area[i] * narrow(productMinus(bazd[i], caxd, baxd[i] * cazd)),
                area[i] * narrow(productMinus(baxd[i], cayd, bayd[i] * caxd))};
    }
}

// Corner j of the kWidth faces at f, read a float at a time; lanes past
// `count` repeat the last face.
inline FloatPoints cornerPoints(const Vec3* v, const uint32_t* f, int j, int count = kWidth) {
    return gatherFloats([&](int i) { return &v[f[3 * (i < count ? i : count - 1) + j]].x; });
}

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

// Corner j of the kWidth faces at f, each point read as 16 bytes and the
// four floats of each transposed: never a face naming v's last point.
inline FloatPoints widePoints(const Vec3* v, const uint32_t* f, int j) {
    __m128 quads[kWidth < 4 ? 4 : kWidth];
    _Pragma("GCC unroll 8") for (int i = 0; i < kWidth; ++i) quads[i] = _mm_loadu_ps(&v[f[3 * i + j]].x);
    return fromQuads(quads);
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
            FloatPoints w[1];
            weightedNormals<1>({cornerPoints(v, g, 0, count)}, {cornerPoints(v, g, 1, count)},
                               {cornerPoints(v, g, 2, count)}, w);
            storeF(wx + i, w[0].x);
            storeF(wy + i, w[0].y);
            storeF(wz + i, w[0].z);
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

// Faces p to p + kWidth - 1's weighted normals, into their ring entries.
FX_ALWAYS_INLINE inline void toRing(char* ring, uint32_t p, uint32_t ringMask, const FloatPoints& w) {
    float* entry = reinterpret_cast<float*>(ring + 16 * size_t(p & ringMask));
#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512VL__)
    // x and y in one vector, z and zeros in another: a permute of the two gives four entries.
    const __m512 xy = _mm512_insertf32x8(_mm512_castps256_ps512(w.x.v), w.y.v, 1);
    const __m512 z = _mm512_zextps256_ps512(w.z.v);
    const __m512i first = _mm512_setr_epi32(0, 8, 16, 31, 1, 9, 17, 31, 2, 10, 18, 31, 3, 11, 19, 31);
    const __m512i second = _mm512_setr_epi32(4, 12, 20, 31, 5, 13, 21, 31, 6, 14, 22, 31, 7, 15, 23, 31);
    _mm512_store_ps(entry, _mm512_permutex2var_ps(xy, first, z));
    _mm512_store_ps(entry + 16, _mm512_permutex2var_ps(xy, second, z));
#else
    __m128 quads[kWidth < 4 ? 4 : kWidth];
    toQuads(w, quads);
    _Pragma("GCC unroll 8") for (int k = 0; k < kWidth; ++k) _mm_store_ps(entry + 4 * k, quads[k]);
#endif
}

#if defined(FX_LANES_BLOCKS)
using NormalBlock = Block;
#else
struct NormalBlock {};
#endif

// One group of the plan: its vertices' sums, added in face order (the zero
// slot adds +0, which changes no sum: a sum that starts at +0 is never -0),
// normalised and stored; a run of vertices as one block of points.
template <class Slot>
FX_ALWAYS_INLINE inline void finishGroup(const NormalPlan& plan, const Slot* slots, uint32_t g, const char* ring,
                                         [[maybe_unused]] const NormalBlock& points, Vec3* normals) {
    constexpr uint32_t kGroup = NormalPlan::kGroup, kQuads = kWidth < 4 ? 4 : kWidth;
    const Slot* top = slots + (plan.rows[g] & ~NormalPlan::kRun);
    const Slot* bottom = slots + (plan.rows[g + 1] & ~NormalPlan::kRun);
    const uint32_t* who = plan.vertices + kGroup * g;
#if defined(FX_LANES_BLOCKS)
    const bool run = plan.rows[g] & NormalPlan::kRun;
#endif
    for (uint32_t h = 0; h < kGroup; h += kQuads) {
        __m128 sums[kQuads];
        _Pragma("GCC unroll 8") for (uint32_t k = 0; k < kQuads; ++k) sums[k] = _mm_setzero_ps();
        for (const Slot* row = top + h; row < bottom; row += kGroup)
            _Pragma("GCC unroll 8") for (uint32_t k = 0; k < kQuads; ++k)
                sums[k] = _mm_add_ps(sums[k], _mm_load_ps(reinterpret_cast<const float*>(ring + 8 * size_t(row[k]))));
        _Pragma("GCC unroll 4") for (uint32_t i = 0; i < kQuads; i += kWidth) {
            const FloatPoints n = normalized(fromQuads(sums + i));
#if defined(FX_LANES_BLOCKS)
            if (run) {
                points.write(normals + who[h + i], NormalBlock::Raw{}, n);
                continue;
            }
#endif
            __m128 out[kWidth < 4 ? 4 : kWidth];
            toQuads(n, out);
            _Pragma("GCC unroll 8") for (int k = 0; k < kWidth; ++k) {
                float* m = &normals[who[h + i + k]].x;
                _mm_storel_pi(reinterpret_cast<__m64*>(m), out[k]);
                _mm_store_ss(m + 2, _mm_movehl_ps(out[k], out[k]));
            }
        }
    }
}

template <class Slot>
FX_ALWAYS_INLINE inline void rebuildAlong(const NormalPlan& plan, const Slot* slots, const Vec3* v,
                                          const uint32_t* faces, Vec3* normals) {
    constexpr int K = kFacePack;
    constexpr uint32_t kStep = K * kWidth;
    static_assert(NormalPlan::kChunk % kStep == 0, "a chunk holds whole steps");
    const uint32_t* order = plan.faces ? plan.faces : faces;
    const uint32_t n = plan.faceCount;
    char* ring = reinterpret_cast<char*>(plan.ring);
#if defined(FX_LANES_BLOCKS)
    const NormalBlock points = blockFor(sizeof(Vec3));
#else
    const NormalBlock points;
#endif
    uint32_t g = 0;
    for (uint32_t c = 0; c < plan.chunkCount; ++c) {
        const uint32_t first = c * NormalPlan::kChunk;
        if (plan.finished[c] & NormalPlan::kNarrowChunk) {
            const uint32_t end = n - first < NormalPlan::kChunk ? n : first + NormalPlan::kChunk;
            for (uint32_t p = first; p < end; p += kWidth) {
                const uint32_t* f = order + 3 * size_t(p);
                const int count = end - p < uint32_t(kWidth) ? int(end - p) : kWidth;
                FloatPoints w[1];
                weightedNormals<1>({cornerPoints(v, f, 0, count)}, {cornerPoints(v, f, 1, count)},
                                   {cornerPoints(v, f, 2, count)}, w);
                toRing(ring, p, plan.ringMask, w[0]);
            }
        } else {
            for (uint32_t p = first; p < first + NormalPlan::kChunk; p += kStep) {
                FloatPoints a[K], b[K], cc[K], w[K];
                FX_PACK_EACH {
                    const uint32_t* f = order + 3 * size_t(p + i * kWidth);
                    a[i] = widePoints(v, f, 0);
                    b[i] = widePoints(v, f, 1);
                    cc[i] = widePoints(v, f, 2);
                }
                weightedNormals(a, b, cc, w);
                FX_PACK_EACH toRing(ring, p + i * kWidth, plan.ringMask, w[i]);
            }
        }
        for (const uint32_t done = plan.finished[c] & ~NormalPlan::kNarrowChunk; g < done; ++g)
            finishGroup(plan, slots, g, ring, points, normals);
    }
}

// Every vertex's normal along the plan: `faces` are the mesh's, read when
// the plan keeps no order of its own.
FX_RULE inline void rebuildNormals(const NormalPlan& plan, const Vec3* v, const uint32_t* faces, Vec3* normals) {
    if (plan.shortSlots)
        rebuildAlong(plan, plan.shortSlots, v, faces, normals);
    else
        rebuildAlong(plan, plan.slots, v, faces, normals);
}

}  // namespace FX_LANES_ISA
}  // namespace lanes
