// The deformation pass every effect runs: particles, then the spline, then
// the mesh, each copied into a working copy of the effect, every point
// moved by the effect's rule, and the copy handed back.
//
// Effect supplies `Vec3 movePoint(const Vec3&) const`, called through the
// derived type so it inlines into the loops, and may supply `beginPass()`
// to compute, once per pass, the constants its rule reads.
#pragma once

#include <new>

#include "fx/abi.h"
#include "plugin/param_registration.h"
#include "scene/host_vector.h"
#include "scene/mesh_copy.h"
#include "scene/particle_copy.h"
#include "scene/spline_copy.h"

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

    bool runPass(FxHostData* host) {
        Effect& effect = *static_cast<Effect*>(this);
        effect.beginPass();
        bool handedBack = false;
        if (isOn(onParticles) && host->hasParticles(false)) {
            const ParticleSet* source = host->getParticles();
            copyFrom(particles_, *source);
            const uint32_t n = count(source->particles);
            const Particle* from = n ? source->particles->begin : nullptr;
            Particle* to = n ? particles_.particles->begin : nullptr;
            for (uint32_t i = 0; i < n; ++i) to[i].position = effect.movePoint(from[i].position);
            host->setParticles(&particles_);
            handedBack = true;
        }
        if (isOn(onSpline) && host->hasSpline(false)) {
            copyFrom(spline_, *host->getSpline(), true, false);
            const uint32_t curves = count(spline_.curves);
            for (uint32_t c = 0; c < curves; ++c) {
                Curve& curve = spline_.curves->begin[c];
                const uint32_t n = count(curve.points);
                for (uint32_t i = 0; i < n; ++i) curve.points.begin[i] = effect.movePoint(curve.points.begin[i]);
                updateLengths(curve);
            }
            host->setSpline(&spline_);
            handedBack = true;
        }
        if (isOn(onMesh) && host->hasMesh(!handedBack)) {
            const Mesh* source = host->getMesh();
            resize(mesh_, count(source->vertices), faceCount(*source), count(source->uvs));
            copyFrom(mesh_, *source, false, true, true, false, true);
            const uint32_t n = count(mesh_.vertices);
            const Vec3* from = n ? source->vertices->begin : nullptr;
            Vec3* to = n ? mesh_.vertices->begin : nullptr;
            for (uint32_t i = 0; i < n; ++i) to[i] = effect.movePoint(from[i]);
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
