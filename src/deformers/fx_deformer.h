// The deformation pass every effect runs: particles, then the spline, then
// the mesh, each copied into a working copy of the effect, every point
// moved by the effect's rule, and the copy handed back.
//
// Effect supplies `Vec3 movePoint(const Vec3&) const`, called through the
// derived type so it inlines into the loops, and may supply `beginPass()`
// to compute, once per pass, the constants its rule reads. It may also
// supply `movePoints(in, inStride, out, outStride, n)`, the same rule on n
// points `stride` bytes apart (several per instruction): the pass then hands
// it whole runs of points instead of calling movePoint per point.
#pragma once

#include <cstddef>
#include <new>

#include "fx/abi.h"
#include "plugin/param_registration.h"
#include "scene/host_vector.h"
#include "scene/mesh_copy.h"
#include "scene/particle_copy.h"
#include "scene/spline_copy.h"

template <class Effect>
concept HasBatchRule = requires(const Effect& e, const Vec3* in, Vec3* out, size_t n) {
    e.movePoints(in, n, out, n, n);
};

template <class Base, class Effect>
class FxDeformer : public Base {
public:
    // Microsoft's scalar deleting destructor, once for every effect.
    void* FX_THISCALL scalarDeletingDestructor(unsigned flags) override {
        Effect* self = static_cast<Effect*>(this);
        self->~Effect();
        if (flags & 1u) ::operator delete(self);
        return self;
    }

    void FX_THISCALL registerParams(FxParamHost* host) override { registerDataFlags(host); }
    bool FX_THISCALL process(FxHostData* host) override { return runPass(host); }
    int32_t FX_THISCALL reserved14() override { return 1; }

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

    // Hook for the per-pass constants; effects hide it with their own.
    void beginPass() {}

    // out[i] = rule(in[i]) for n points `stride` bytes apart.
    static void moveRun(const Effect& effect, const Vec3* in, size_t inStride, Vec3* out, size_t outStride,
                        size_t n) {
        if constexpr (HasBatchRule<Effect>) {
            effect.movePoints(in, inStride, out, outStride, n);
        } else {
            const char* from = reinterpret_cast<const char*>(in);
            char* to = reinterpret_cast<char*>(out);
            for (size_t i = 0; i < n; ++i)
                *reinterpret_cast<Vec3*>(to + i * outStride) =
                    effect.movePoint(*reinterpret_cast<const Vec3*>(from + i * inStride));
        }
    }

    bool runPass(FxHostData* host) {
        Effect& effect = *static_cast<Effect*>(this);
        effect.beginPass();
        bool handedBack = false;
        if (isOn(onParticles) && host->hasParticles(false)) {
            const ParticleSet* source = host->getParticles();
            copyFrom(particles_, *source);
            if (const uint32_t n = count(source->particles))
                moveRun(effect, &source->particles->begin->position, sizeof(Particle),
                        &particles_.particles->begin->position, sizeof(Particle), n);
            host->setParticles(&particles_);
            handedBack = true;
        }
        if (isOn(onSpline) && host->hasSpline(false)) {
            copyFrom(spline_, *host->getSpline(), true, false);
            const uint32_t curves = count(spline_.curves);
            for (uint32_t c = 0; c < curves; ++c) {
                Curve& curve = spline_.curves->begin[c];
                if (const uint32_t n = count(curve.points))
                    moveRun(effect, curve.points.begin, sizeof(Vec3), curve.points.begin, sizeof(Vec3), n);
                updateLengths(curve);
            }
            host->setSpline(&spline_);
            handedBack = true;
        }
        if (isOn(onMesh) && host->hasMesh(!handedBack)) {
            const Mesh* source = host->getMesh();
            resize(mesh_, count(source->vertices), faceCount(*source), count(source->uvs));
            copyFrom(mesh_, *source, false, true, true, false, true);
            if (const uint32_t n = count(mesh_.vertices))
                moveRun(effect, source->vertices->begin, sizeof(Vec3), mesh_.vertices->begin, sizeof(Vec3), n);
            if (source->normals) recomputeNormals(mesh_);
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
};
