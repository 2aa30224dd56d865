// A host scene for the benchmarks, served through the host's data interface:
// a particle cloud, a spline of curves and a triangle grid with normals and
// uvs, each of n points. Every kind is always offered; an effect's flags
// choose what it touches.
#pragma once

#include <cstddef>
#include <vector>

#include "fx/abi.h"

class BenchScene final : public FxHostData {
public:
    explicit BenchScene(uint32_t n);
    BenchScene(const BenchScene&) = delete;
    BenchScene& operator=(const BenchScene&) = delete;

    bool FX_THISCALL hasMesh(bool) override { return true; }
    void FX_THISCALL setMesh(Mesh*) override {}
    Mesh* FX_THISCALL getMesh() override { return &mesh_; }
    bool FX_THISCALL hasSpline(bool) override { return true; }
    void FX_THISCALL setSpline(Spline*) override {}
    Spline* FX_THISCALL getSpline() override { return &spline_; }
    bool FX_THISCALL hasParticles(bool) override { return true; }
    void FX_THISCALL setParticles(ParticleSet*) override {}
    ParticleSet* FX_THISCALL getParticles() override { return &particleSet_; }

    // Offers the mesh with or without its normals (with them at first).
    void offerNormals(bool on);
    // Offers the grid's faces in rows (at first) or shuffled, uv faces alike:
    // the same mesh without the locality of the face order.
    void offerShuffledFaces(bool on);

    // Bytes of the copy an effect hands back for each kind.
    size_t particleBytes() const;
    size_t splineBytes() const;
    size_t meshBytes() const;

    // The host's arrays, for the floors that read them directly.
    const std::vector<Particle>& particles() const { return particles_; }
    const std::vector<Vec3>& curvePoints() const { return curvePoints_; }
    const std::vector<Vec3>& vertices() const { return vertices_; }
    const uint32_t* faces() const { return mesh_.faces->begin; }
    uint32_t faceCount() const { return uint32_t(faces_.size() / 3); }

private:
    std::vector<Particle> particles_;
    std::vector<Vec3> curvePoints_;  // the curves' points, back to back
    std::vector<float> curveLengths_;
    std::vector<Curve> curves_;
    std::vector<Vec3> vertices_, normals_;
    std::vector<uint32_t> faces_, uvFaces_, faceFlags_, shuffledFaces_, shuffledUvFaces_;
    std::vector<UV> uvs_;

    HostVector<Particle> particleArray_{};
    HostVector<Curve> curveArray_{};
    HostVector<Vec3> vertexArray_{}, normalArray_{};
    HostVector<uint32_t> faceArray_{}, uvFaceArray_{}, shuffledFaceArray_{}, shuffledUvFaceArray_{};
    HostVector<UV> uvArray_{};
    ParticleSet particleSet_{nullptr};
    Spline spline_{nullptr};
    Mesh mesh_{};
};
