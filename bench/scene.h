// A host scene for the benchmarks, served through the host kit: a particle
// cloud, a spline of curves (long helices, or short strands like hair) and a
// triangle grid with normals and uvs, each of n points. Every kind is always offered and what an effect hands back
// is not kept, so every process reads the scene; an effect's flags choose
// what it touches.
#pragma once

#include <cstddef>
#include <vector>

#include "kit/host_data.h"
#include "kit/scene.h"

class BenchScene {
public:
    explicit BenchScene(uint32_t n);
    BenchScene(const BenchScene&) = delete;
    BenchScene& operator=(const BenchScene&) = delete;

    FxHostData* host() { return &host_; }
    // Offers the mesh with or without its normals (with them at first).
    void offerNormals(bool on);
    // Offers the grid's faces in rows (at first) or shuffled, uv faces alike:
    // the same mesh without the locality of the face order.
    void offerShuffledFaces(bool on);
    // Offers the spline as helices of 1000 points (at first) or as strands of
    // 8: the same number of points in many short curves.
    void offerStrands(bool on);

    // Bytes of the copy an effect hands back for each kind.
    size_t particleBytes() const;
    size_t splineBytes() const;
    size_t meshBytes() const;

    // The host's arrays, for the floors that read them directly.
    const std::vector<Particle>& particles() const { return scene_.particles; }
    const std::vector<Vec3>& curvePoints() const { return strands_ ? strandPoints_ : curvePoints_; }  // back to back
    const std::vector<Vec3>& vertices() const { return scene_.vertices; }
    const std::vector<uint32_t>& faces() const { return shuffled_ ? shuffledFaces_ : scene_.faces; }  // as offered
    const Mesh& mesh() { return *records_.mesh(); }

private:
    Scene scene_, strandScene_;
    std::vector<Vec3> curvePoints_, strandPoints_;
    std::vector<uint32_t> shuffledFaces_, shuffledUvFaces_;
    HostVector<uint32_t> faceArray_{}, uvFaceArray_{}, shuffledFaceArray_{}, shuffledUvFaceArray_{};
    SceneRecords records_, strandRecords_;
    HostVector<Curve>* helices_;
    HostData host_;
    HostVector<Vec3>* normals_;
    bool withNormals_ = true, shuffled_ = false, strands_ = false;
};
