// A geometry made of arrays, served to the effects as the host's records and
// written back from the copies the effects hand back.
//
// The mesh's vertices, normals and uvs and the curves' points are read where
// the arrays keep them, at every frame, so that a caller may change their
// values between frames. The triangles are copied once, when the geometry is
// made: an effect that rebuilds normals indexes vertices with them, so they
// are checked against the vertex count and cannot change afterwards. The
// particles are copied into the host's 20-byte records at every frame.
#pragma once

#include <pybind11/pybind11.h>

#include <vector>

#include "array_argument.h"
#include "fx/abi.h"
#include "kit/host_data.h"

class Geometry {
public:
    // Every array may be None. curves: a sequence of (P, 3) arrays; closed: one
    // truth value per curve (None: all open). Throws TypeError, ValueError.
    Geometry(pybind11::handle positions, pybind11::handle triangles, pybind11::handle normals, pybind11::handle uvs,
             pybind11::handle uvTriangles, pybind11::handle curves, pybind11::handle closed,
             pybind11::handle particles);
    Geometry(const Geometry&) = delete;
    Geometry& operator=(const Geometry&) = delete;

    // Makes the records current: the curves' lengths and the particles'
    // records from the arrays as they stand. Touches no Python object.
    void serve(HostData& data);
    // Checks, while the caller holds the GIL, that `data` served from
    // `source` can be written into this geometry: the same kinds with the
    // same counts, and writable arrays. Throws ValueError.
    void checkTarget(const Geometry& source) const;
    // Writes the current data into this geometry's arrays (those it has).
    // Throws std::runtime_error for data of another size than the arrays.
    void take(const HostData& data);

    // The points of one kind, for a bake: "mesh", "particles" or "curves" (all
    // curves' points one after the other).
    size_t pointCount(const std::string& kind) const;
    // Copies the current points of that kind, served from this geometry, to
    // `out` (pointCount(kind) points).
    void copyPoints(const HostData& data, const std::string& kind, Vec3* out) const;

private:
    bool hasMesh_ = false, hasSpline_ = false, hasParticles_ = false;
    ArrayArgument positions_, normals_, uvs_, particlePositions_;
    std::vector<ArrayArgument> curvePoints_;
    std::vector<uint32_t> faces_, uvFaces_, faceFlags_;
    std::vector<std::vector<float>> lengths_;
    std::vector<Curve> curves_;
    std::vector<Particle> particles_;
    HostVector<Vec3> vertexArray_{}, normalArray_{};
    HostVector<uint32_t> faceArray_{}, uvFaceArray_{};
    HostVector<UV> uvArray_{};
    HostVector<Curve> curveArray_{};
    HostVector<Particle> particleArray_{};
    Mesh mesh_{};
    Spline spline_{nullptr};
    ParticleSet particleSet_{nullptr};
};
