// A scene in the host's records, and the host's data interface serving it.
// Free of any test framework, so the fuzzers build scenes the same way.
#pragma once

#include <string>
#include <vector>

#include "fx/abi.h"

// A scene in the host's records, owning its storage.
class HostScene {
public:
    std::vector<Particle> particles;
    std::vector<std::vector<Vec3>> curves;
    std::vector<bool> closed;
    std::vector<Vec3> vertices, normals;
    std::vector<uint32_t> faces, uvFaces, faceFlags;
    std::vector<UV> uvs;
    bool hasNormals = false;

    // Builds the records from the vectors above (segment lengths computed
    // from the points); call again after changing them.
    void publish();

    ParticleSet particleSet{nullptr};
    Spline spline{nullptr};
    Mesh mesh{};

private:
    HostVector<Particle> particleArray_{};
    std::vector<Curve> curveRecords_;
    std::vector<std::vector<float>> lengths_;
    HostVector<Curve> curveArray_{};
    HostVector<Vec3> vertexArray_{}, normalArray_{};
    HostVector<uint32_t> faceArray_{}, uvFaceArray_{};
    HostVector<UV> uvArray_{};
};

template <class T>
HostVector<T> viewOf(std::vector<T>& v) {
    return {0u, v.empty() ? nullptr : v.data(), v.empty() ? nullptr : v.data() + v.size(),
            v.empty() ? nullptr : v.data() + v.size()};
}

// Serves current records: a scene's, then, while `keepHanded` is set, what
// an effect handed back, the way a host keeps the last result as its current
// data (the next effect of a stack, or the same effect next frame, reads it).
// Records no call, so serving allocates nothing.
class ServingHostData final : public FxHostData {
public:
    void serve(HostScene& scene);

    bool FX_THISCALL hasMesh(bool) override { return offerMesh; }
    void FX_THISCALL setMesh(Mesh* m) override;
    Mesh* FX_THISCALL getMesh() override { return mesh; }
    bool FX_THISCALL hasSpline(bool) override { return offerSpline; }
    void FX_THISCALL setSpline(Spline* s) override;
    Spline* FX_THISCALL getSpline() override { return spline; }
    bool FX_THISCALL hasParticles(bool) override { return offerParticles; }
    void FX_THISCALL setParticles(ParticleSet* p) override;
    ParticleSet* FX_THISCALL getParticles() override { return particles; }

    bool offerParticles = true, offerSpline = true, offerMesh = true;
    bool keepHanded = true;
    ParticleSet* particles = nullptr;  // the current records
    Spline* spline = nullptr;
    Mesh* mesh = nullptr;
    ParticleSet* handedParticles = nullptr;  // the last copies handed back
    Spline* handedSpline = nullptr;
    Mesh* handedMesh = nullptr;
};

class RecordingHostData final : public FxHostData {
public:
    explicit RecordingHostData(HostScene& scene) : scene_(scene) {}

    bool FX_THISCALL hasMesh(bool exclusive) override;
    void FX_THISCALL setMesh(Mesh* mesh) override;
    Mesh* FX_THISCALL getMesh() override;
    bool FX_THISCALL hasSpline(bool exclusive) override;
    void FX_THISCALL setSpline(Spline* spline) override;
    Spline* FX_THISCALL getSpline() override;
    bool FX_THISCALL hasParticles(bool exclusive) override;
    void FX_THISCALL setParticles(ParticleSet* set) override;
    ParticleSet* FX_THISCALL getParticles() override;

    // What the host answers to the has-operations.
    bool offerParticles = true, offerSpline = true, offerMesh = true;
    std::vector<std::string> calls;  // "hasMesh(true)", "getMesh", "setMesh", ...
    Mesh* handedMesh = nullptr;
    Spline* handedSpline = nullptr;
    ParticleSet* handedParticles = nullptr;

private:
    HostScene& scene_;
};
