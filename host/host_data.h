// The host's data interface: it serves the current data of one frame. Each
// frame starts from the source scene; what an effect hands back with a
// set-operation becomes current for the effects after it.
#pragma once

#include "fx/abi.h"

class HostData final : public FxHostData {
public:
    // Makes the source's records current (null: that kind is absent).
    void reset(Mesh* mesh, Spline* spline, ParticleSet* particles);

    // A kind can be read while it is present; the exclusive argument is not
    // needed here, since the host never holds data another effect must not see.
    bool FX_THISCALL hasMesh(bool exclusive) override;
    void FX_THISCALL setMesh(Mesh* mesh) override;
    Mesh* FX_THISCALL getMesh() override;
    bool FX_THISCALL hasSpline(bool exclusive) override;
    void FX_THISCALL setSpline(Spline* spline) override;
    Spline* FX_THISCALL getSpline() override;
    bool FX_THISCALL hasParticles(bool exclusive) override;
    void FX_THISCALL setParticles(ParticleSet* set) override;
    ParticleSet* FX_THISCALL getParticles() override;

    const Mesh* mesh() const { return mesh_; }
    const Spline* spline() const { return spline_; }
    const ParticleSet* particles() const { return particles_; }

private:
    Mesh* mesh_ = nullptr;
    Spline* spline_ = nullptr;
    ParticleSet* particles_ = nullptr;
};
