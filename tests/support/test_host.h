// A host for the tests: it records every call the library makes through the
// parameter and data interfaces, and serves scenes the way the host does.
#pragma once

#include <string>
#include <vector>

#include "fx/abi.h"

struct Registration {
    std::string name;  // copied at the call
    const char* buffer;  // the pointer the library passed
    float* value;
    float initial;
};

class RecordingParamHost final : public FxParamHost {
public:
    void FX_THISCALL add(const char* name, float* value) override;

    std::vector<Registration> calls;
    // The float registered under this full name ("speed [s]"); fails the test if absent.
    float& operator[](const std::string& fullName) const;
    // Sets a point parameter registered as name [p3x], [p3y], [p3z].
    void setPoint(const std::string& name, Vec3 v) const;
    Vec3 point(const std::string& name) const;
    std::vector<std::string> names() const;
};

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
