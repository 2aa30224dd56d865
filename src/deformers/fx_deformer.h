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
    }

    void registerDataFlags(FxParamHost* host) {
        addBool(host, "on mesh", &onMesh, true);
        addBool(host, "on spline", &onSpline, true);
        addBool(host, "on particles", &onParticles, true);
    }

    static constexpr uint32_t kCurveGroup = 4;

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
            copyFrom(spline_, *source, false, false);
            // Curves in groups that stay in the cache from their move to their lengths.
            const uint32_t curves = count(spline_.curves);
            for (uint32_t first = 0; first < curves; first += kCurveGroup) {
                const uint32_t m = curves - first < kCurveGroup ? curves - first : kCurveGroup;
                for (uint32_t c = first; c < first + m; ++c) {
                    const HostVector<Vec3>& from = source->curves->begin[c].points;
                    Curve& to = spline_.curves->begin[c];
                    const uint32_t n = count(from);
                    resize(to.points, n);
                    if (count(to.segmentLengths) != n) resize(to.segmentLengths, n, 0.0f);
                    if (n) moveRun(effect, from.begin, to.points.begin, sizeof(Vec3), n, to.segmentLengths.begin);
                }
                sumLengths(spline_.curves->begin + first, m);
            }
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
};
