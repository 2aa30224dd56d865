// The deformation pass every effect runs: particles, then the spline, then
// the mesh, each copied into a working copy of the effect, every point
// moved by the effect's rule, and the copy handed back.
//
// Effect holds its rule record in a member `rule`, filled by its update or
// by `beginPass()`, which the pass calls first. When the record has lanes
// (scene/batch_rules.h) the pass hands them whole runs of records; otherwise
// it calls the record's reference, `movePoint(rule, p)`, once per point,
// inlined into the loop.
#pragma once

#include <cstddef>
#include <cstring>
#include <new>

#include "fx/abi.h"
#include "scene/batch_rules.h"
#include "scene/geometry_rules.h"
#include "scene/host_vector.h"
#include "scene/mesh_copy.h"
#include "scene/param_registration.h"
#include "scene/particle_copy.h"
#include "scene/spline_copy.h"

template <class Base, class Effect>
class FxDeformer : public Base {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override { registerDataFlags(host); }
    bool FX_THISCALL process(FxHostData* host) override { return runPass(host); }
    int32_t FX_THISCALL reserved14() override { return 1; }

    // Hook for the per-pass part of the rule record; effects hide it with their own.
    void beginPass() {}

    // The working copies, as handed to the host.
    const ParticleSet& particleCopy() const { return particles_; }
    const Spline& splineCopy() const { return spline_; }
    const Mesh& meshCopy() const { return mesh_; }

protected:
    FxDeformer() = default;
    ~FxDeformer() {
        release(mesh_);
        release(spline_);
        release(particles_);
        freeStorage(gathered_);
        freeStorage(gatheredLengths_);
    }

    void registerDataFlags(FxParamHost* host) {
        addBool(host, "on mesh", &onMesh, true);
        addBool(host, "on spline", &onSpline, true);
        addBool(host, "on particles", &onParticles, true);
    }

    // Curves are moved and measured in windows of at least kWindow points (whole groups of four
    // curves, as their lengths are summed), which stay in the cache from their move to their sums.
    // A call of the lanes costs more than a few points, so curves shorter than kShortCurve are
    // gathered into one kept block of kWindow points and moved by one call.
    static constexpr uint32_t kCurveGroup = 4, kShortCurve = 16, kWindow = 2048;

    // Out's n records of `stride` bytes become in's, each point p replaced by movePoint(rule, p); given
    // `lengths`, the points are a curve's and its segment lengths are written too.
    static void moveRun(const Effect& effect, const void* in, void* out, size_t stride, size_t n,
                        float* lengths = nullptr) {
        using Rule = decltype(Effect::rule);
        if constexpr (HasLanes<Rule>) {
            kLanes<Rule>(effect.rule, static_cast<const Vec3*>(in), static_cast<Vec3*>(out), stride, n, lengths);
        } else {
            const char* from = static_cast<const char*>(in);
            char* to = static_cast<char*>(out);
            if (stride > sizeof(Vec3) && from != to) std::memcpy(to, from, n * stride);
            for (size_t i = 0; i < n; ++i)
                *reinterpret_cast<Vec3*>(to + i * stride) =
                    movePoint(effect.rule, *reinterpret_cast<const Vec3*>(from + i * stride));
            if (lengths) geometryRules().segmentLengths(static_cast<Vec3*>(out), uint32_t(n), lengths);
        }
    }

    // Whether a curve of n points is moved in the gathered block rather than by a call of its own.
    static bool gathered(uint32_t n) { return n && n < kShortCurve; }

    // The copy's curves, as many as the source's, become the source's: closed marks, points moved,
    // lengths measured. A curve's few points are copied by plain loops, cheaper than calls of memcpy.
    void moveCurves(const Effect& effect, const Spline& source) {
        const uint32_t curves = count(spline_.curves);
        uint32_t first = 0, points = 0, held = 0;  // the window's first curve, its points, those gathered
        const auto closeWindow = [&](uint32_t end) {
            finishWindow(effect, first, end, held);
            first = end;
            points = held = 0;
        };
        for (uint32_t c = 0; c < curves; ++c) {
            const HostVector<Vec3>& from = source.curves->begin[c].points;
            Curve& to = spline_.curves->begin[c];
            to.closed = source.curves->begin[c].closed;
            const uint32_t n = count(from);
            resize(to.points, n);
            if (count(to.segmentLengths) != n) resize(to.segmentLengths, n, 0.0f);
            if (gathered(n)) {
                if (held + n > kWindow) closeWindow(c);
                if (count(gatheredLengths_) < kWindow) {  // sized second: a refused allocation leaves it short
                    resize(gathered_, kWindow);
                    resize(gatheredLengths_, kWindow);
                }
                for (uint32_t i = 0; i < n; ++i) gathered_.begin[held + i] = from.begin[i];
                held += n;
            } else if (n) {
                moveRun(effect, from.begin, to.points.begin, sizeof(Vec3), n, to.segmentLengths.begin);
            }
            points += n;
            if ((c + 1 - first) % kCurveGroup == 0 && points >= kWindow) closeWindow(c + 1);
        }
        closeWindow(curves);
    }

    // Moves the window's gathered points and hands them and their lengths to their curves, then
    // sums the lengths of every curve in the window. A length measured across two gathered curves
    // belongs to neither and is dropped.
    void finishWindow(const Effect& effect, uint32_t first, uint32_t end, uint32_t held) {
        if (first == end) return;  // the last window closed with the last curve, or there are none
        if (held) {
            moveRun(effect, gathered_.begin, gathered_.begin, sizeof(Vec3), held, gatheredLengths_.begin);
            for (uint32_t c = first, at = 0; c < end; ++c) {
                Curve& to = spline_.curves->begin[c];
                const uint32_t n = count(to.points);
                if (!gathered(n)) continue;
                for (uint32_t i = 0; i < n; ++i) to.points.begin[i] = gathered_.begin[at + i];
                for (uint32_t i = 0; i + 1 < n; ++i) to.segmentLengths.begin[i] = gatheredLengths_.begin[at + i];
                at += n;
            }
        }
        sumLengths(spline_.curves->begin + first, end - first);
    }

    bool runPass(FxHostData* host) {
        Effect& effect = *static_cast<Effect*>(this);
        effect.beginPass();
        bool handedBack = false;
        if (isOn(onParticles) && host->hasParticles(false)) {
            // The copy takes the host's records, host words and all, as the rule writes them: each
            // record is read once, its position moved on the way.
            const ParticleSet* source = host->getParticles();
            if (const uint32_t n = count(source->particles)) {
                resize(particles_, n);
                moveRun(effect, source->particles->begin, particles_.particles->begin, sizeof(Particle), n);
            } else {
                copyFrom(particles_, *source);  // releases the copy
            }
            host->setParticles(&particles_);
            handedBack = true;
        }
        if (isOn(onSpline) && host->hasSpline(false)) {
            // The copy takes the host's curves and closed marks; its points are the rule's images of the
            // host's, written straight from them rather than copied first and moved in place.
            const Spline* source = host->getSpline();
            if (const uint32_t curves = count(source->curves)) resize(spline_, curves);
            else release(spline_);
            moveCurves(effect, *source);
            host->setSpline(&spline_);
            handedBack = true;
        }
        if (isOn(onMesh) && host->hasMesh(!handedBack)) {
            const Mesh* source = host->getMesh();
            resize(mesh_, count(source->vertices), faceCount(*source), count(source->uvs));
            // Hosts hand the same faces frame after frame: the plan drawn from them holds until they change.
            if (!copyFrom(mesh_, *source, false, true, true, false, true)) normalPlan_.forget();
            if (const uint32_t n = count(mesh_.vertices))
                moveRun(effect, source->vertices->begin, mesh_.vertices->begin, sizeof(Vec3), n);
            if (source->normals) recomputeNormals(mesh_, normalPlan_);
            host->setMesh(&mesh_);
        }
        return false;
    }

    float onMesh;
    float onSpline;
    float onParticles;
    ParticleSet particles_{nullptr};
    Spline spline_{nullptr};
    Mesh mesh_ = kEmptyMesh;
    KeptNormalPlan normalPlan_;
    HostVector<Vec3> gathered_{};  // the short curves' points of a window, moved together
    HostVector<float> gatheredLengths_{};
};
