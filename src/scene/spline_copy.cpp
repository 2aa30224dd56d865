#include "scene/spline_copy.h"

#include <cmath>
#include <cstring>

#include "scene/geometry_rules.h"
#include "scene/host_vector.h"
#include "scene/vec_math.h"

namespace {
void destroy(Curve& curve) {
    freeStorage(curve.points);
    freeStorage(curve.segmentLengths);
}

// Appends within reserved storage.
void append(HostVector<Vec3>& out, const Vec3& p) {
    const uint32_t n = count(out);
    resize(out, n + 1);
    out.begin[n] = p;
}
}  // namespace

void resize(Spline& spline, uint32_t curveCount) {
    if (!spline.curves) spline.curves = newHostVector<Curve>();
    HostVector<Curve>& curves = *spline.curves;
    const uint32_t old = count(curves);
    for (uint32_t i = curveCount; i < old; ++i) destroy(curves.begin[i]);
    resize(curves, curveCount);
    for (uint32_t i = old; i < curveCount; ++i) curves.begin[i] = Curve{};
}

void copyFrom(Spline& spline, const Spline& source, bool copyPoints, bool copyLengths) {
    const uint32_t n = count(source.curves);
    if (n == 0) {
        release(spline);
        return;
    }
    resize(spline, n);
    for (uint32_t i = 0; i < n; ++i)
        copyFrom(spline.curves->begin[i], source.curves->begin[i], copyPoints, copyLengths);
}

void copyFrom(Curve& curve, const Curve& source, bool copyPoints, bool copyLengths) {
    if (copyPoints && &curve != &source) {
        const uint32_t n = count(source.points);
        resize(curve.points, n);
        if (n) std::memcpy(static_cast<void*>(curve.points.begin), source.points.begin, sizeof(Vec3) * n);
    }
    if (copyLengths) {
        const uint32_t n = count(source.segmentLengths);
        resize(curve.segmentLengths, n);
        if (n) std::memcpy(curve.segmentLengths.begin, source.segmentLengths.begin, sizeof(float) * n);
        curve.length = source.length;
    }
    curve.closed = source.closed;
}

namespace {
float closingSegment(const Curve& curve) {
    const uint32_t n = count(curve.points);
    const Vec3 d = difference(curve.points.begin[0], curve.points.begin[n - 1]);
    const float length = float(std::sqrt(double(lengthSquared(d))));
    return length == 0.0f ? 0.0001f : length;
}

// Four running sums, one per curve, each the float sum of its segments in
// order: the curves' additions interleave, the order within each does not change.
void sumGroup(Curve* const (&curve)[4]) {
    // The group's first curve is always there; a missing one reads the first's lengths.
    const float* lengths[4];
    uint32_t segments[4], common = UINT32_MAX;
    for (int k = 0; k < 4; ++k) {
        const uint32_t n = curve[k] ? count(curve[k]->points) : 0;
        segments[k] = n > 1 ? n - 1 : 0;
        lengths[k] = (curve[k] ? curve[k] : curve[0])->segmentLengths.begin;
        if (curve[k] && segments[k] < common) common = segments[k];
    }
    float t0 = 0.0f, t1 = 0.0f, t2 = 0.0f, t3 = 0.0f;  // in registers: four independent chains
    for (uint32_t i = 0; i < common; ++i) {
        t0 += lengths[0][i];
        t1 += lengths[1][i];
        t2 += lengths[2][i];
        t3 += lengths[3][i];
    }
    float total[4] = {t0, t1, t2, t3};
    for (int k = 0; k < 4 && curve[k]; ++k) {
        for (uint32_t i = common; i < segments[k]; ++i) total[k] += lengths[k][i];
        const uint32_t n = count(curve[k]->points);
        if (curve[k]->closed && n >= 1) {
            curve[k]->segmentLengths.begin[n - 1] = closingSegment(*curve[k]);
            total[k] += curve[k]->segmentLengths.begin[n - 1];
        }
        curve[k]->length = total[k];
    }
}
}  // namespace

void updateLengths(Curve& curve) {
    const uint32_t n = count(curve.points);
    if (count(curve.segmentLengths) != n) resize(curve.segmentLengths, n, 0.0f);
    if (n >= 2) geometryRules().segmentLengths(curve.points.begin, n, curve.segmentLengths.begin);
    sumLengths(&curve, 1);
}

void sumLengths(Curve* curves, uint32_t curveCount) {
    for (uint32_t c = 0; c < curveCount; c += 4) {
        Curve* const group[4] = {&curves[c], c + 1 < curveCount ? &curves[c + 1] : nullptr,
                                 c + 2 < curveCount ? &curves[c + 2] : nullptr,
                                 c + 3 < curveCount ? &curves[c + 3] : nullptr};
        sumGroup(group);
    }
}

void resampleCurve(const Spline& spline, uint32_t curveIndex, uint32_t n, HostVector<Vec3>& out) {
    resize(out, 0);
    const Curve& curve = spline.curves->begin[curveIndex];
    if (n == 0 || count(curve.points) < 2) return;
    if (capacity(out) < n) {
        resize(out, n);
        resize(out, 0);
    }
    const uint32_t m = curve.closed ? n - 1 : n;
    const float step = float(double(curve.length) / (double(m) - 1.0));
    append(out, curve.points.begin[0]);
    sampleEvenly(curve, 0, 0.0f, step, m, out);
    if (curve.closed) append(out, curve.points.begin[0]);
}

void sampleEvenly(const Curve& curve, uint32_t segment, float carry, float step, uint32_t maxCount,
                  HostVector<Vec3>& out) {
    const uint32_t n = count(curve.points);
    const Vec3* p = curve.points.begin;
    const float* lengths = curve.segmentLengths.begin;
    for (; segment + 1 < n && count(out) < maxCount; ++segment) {
        const float r = float(double(lengths[segment]) / step);
        const float acc = float(double(carry) + r);
        if (!(acc >= 1.0f)) {  // also a NaN length: no sample here
            carry = acc;
            continue;
        }
        // Samples past maxCount would be cut again, so the walk stops there;
        // this also keeps a NaN or huge count from reaching the conversion.
        const uint32_t k = acc >= float(maxCount) ? maxCount : uint32_t(acc);
        const double inverse = 1.0 / r;
        const Vec3& P = p[segment];
        const Vec3& Q = p[segment + 1];
        for (uint32_t j = 1; j <= k && count(out) < maxCount; ++j) {
            const double t = float((double(j) - carry) * inverse);
            append(out, {float(P.x + (double(Q.x) - P.x) * t), float(P.y + (double(Q.y) - P.y) * t),
                         float(P.z + (double(Q.z) - P.z) * t)});
        }
        carry = float(double(acc) - k);
    }
    if (count(out) > maxCount) resize(out, maxCount);
}

void release(Spline& spline) {
    if (!spline.curves) return;
    HostVector<Curve>& curves = *spline.curves;
    for (uint32_t i = 0; i < count(curves); ++i) destroy(curves.begin[i]);
    deleteHostVector(spline.curves);
}
