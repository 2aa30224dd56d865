// The host's data interface, serving the current data of a frame. A frame
// starts from a scene's records; what an effect hands back with a
// set-operation becomes current for the effects after it, the way a host
// chains a stack, unless the host is told to keep serving the scene.
#pragma once

#include <string>
#include <vector>

#include "fx/abi.h"
#include "scene.h"

class HostData final : public FxHostData {
public:
    HostData() = default;
    explicit HostData(SceneRecords& records) { serve(records); }

    // Makes the records current (null: that kind is absent) and forgets the
    // copies handed back so far.
    void serve(Mesh* mesh, Spline* spline, ParticleSet* particles);
    void serve(SceneRecords& records) { serve(records.mesh(), records.spline(), records.particles()); }

    bool FX_THISCALL hasMesh(bool exclusive) override;
    void FX_THISCALL setMesh(Mesh* mesh) override;
    Mesh* FX_THISCALL getMesh() override;
    bool FX_THISCALL hasSpline(bool exclusive) override;
    void FX_THISCALL setSpline(Spline* spline) override;
    Spline* FX_THISCALL getSpline() override;
    bool FX_THISCALL hasParticles(bool exclusive) override;
    void FX_THISCALL setParticles(ParticleSet* set) override;
    ParticleSet* FX_THISCALL getParticles() override;

    // A kind is offered while it is current and its flag is set; the
    // exclusive argument changes nothing, since this host never holds data
    // another effect must not see. A spline or particle set without its
    // array (a copy the effect released) holds nothing to read and is not
    // offered, unless `offerWithoutArray` is set.
    bool offerParticles = true, offerSpline = true, offerMesh = true;
    bool offerWithoutArray = false;
    // Whether what an effect hands back becomes the current data.
    bool keepHanded = true;
    // Whether every call is written to `calls`: "hasMesh(true)", "getMesh",
    // "setMesh", ... Serving allocates nothing while it is off.
    bool logCalls = false;
    std::vector<std::string> calls;

    Mesh* mesh = nullptr;  // the current data
    Spline* spline = nullptr;
    ParticleSet* particles = nullptr;
    Mesh* handedMesh = nullptr;  // the last copies handed back since `serve`
    Spline* handedSpline = nullptr;
    ParticleSet* handedParticles = nullptr;

private:
    void log(const char* call);
    void log(const char* call, bool exclusive);
};
