// A scene of the three kinds of data, owning its storage, and its view as
// the records the plug-in reads.
#pragma once

#include <cstdint>
#include <vector>

#include "fx/abi.h"

struct SceneCurve {
    std::vector<Vec3> points;
    bool closed = false;
};

struct Scene {
    // A kind the scene does not hold has no record at all.
    bool hasMesh = true, hasSpline = true, hasParticles = true;
    std::vector<Vec3> vertices;
    std::vector<Vec3> normals;  // empty: the mesh carries no normals
    std::vector<uint32_t> faces;
    std::vector<uint32_t> uvFaces;  // empty unless there are uvs
    std::vector<UV> uvs;
    // The host's words for the faces, never read by the effects: the mesh
    // record carries faceCount / 10 + 1 of them, zeros past these.
    std::vector<uint32_t> faceFlags;
    std::vector<SceneCurve> curves;
    std::vector<Particle> particles;
};

// The records of a scene, pointing into its storage: the scene must stay
// alive while they are used, and they must be published again after it
// changes. A caller may alter a record (to hand over a broken one, say)
// until the next publish.
class SceneRecords {
public:
    explicit SceneRecords(Scene& scene);
    SceneRecords(const SceneRecords&) = delete;
    SceneRecords& operator=(const SceneRecords&) = delete;

    void publish();

    // Null for a kind the scene does not hold.
    Mesh* mesh() { return scene_.hasMesh ? &mesh_ : nullptr; }
    Spline* spline() { return scene_.hasSpline ? &spline_ : nullptr; }
    ParticleSet* particles() { return scene_.hasParticles ? &particleSet_ : nullptr; }

private:
    Scene& scene_;
    std::vector<std::vector<float>> lengths_;
    std::vector<Curve> curves_;
    std::vector<uint32_t> faceFlags_;
    HostVector<Curve> curveArray_{};
    HostVector<Particle> particleArray_{};
    HostVector<Vec3> vertexArray_{}, normalArray_{};
    HostVector<uint32_t> faceArray_{}, uvFaceArray_{};
    HostVector<UV> uvArray_{};
    Mesh mesh_{};
    Spline spline_{nullptr};
    ParticleSet particleSet_{nullptr};
};

// The array view of a vector's elements, empty (null begin) when it has none.
template <class T>
HostVector<T> viewOf(std::vector<T>& v) {
    if (v.empty()) return {0u, nullptr, nullptr, nullptr};
    return {0u, v.data(), v.data() + v.size(), v.data() + v.size()};
}

// A curve's segment lengths as the library measures its own copies: one per
// point (point i to i + 1; the closing segment last when the curve is
// closed, 0 there when it is open) into `lengths`; returns their running sum
// in floats, the curve's length.
float measureCurve(const Vec3* points, size_t count, bool closed, float* lengths);

// A copy of whatever the records hold; a null record is an absent kind.
Scene sceneFromRecords(const Mesh* mesh, const Spline* spline, const ParticleSet* particles);

struct Bounds {
    Vec3 min{0, 0, 0}, max{0, 0, 0};
    float radius = 0.0f;  // of the sphere about the box's centre that holds every point
    bool empty = true;
};
Bounds boundsOf(const Scene& scene);
