#include "geometry.h"

#include <cstring>
#include <stdexcept>

#include "kit/scene.h"

namespace py = pybind11;

namespace {
// The array view of `count` elements at `data`, empty (null begin) when there are none.
template <class T>
HostVector<T> arrayOf(T* data, size_t count) {
    if (!count) return {0u, nullptr, nullptr, nullptr};
    return {0u, data, data + count, data + count};
}

template <class T>
size_t countOf(const HostVector<T>* v) {
    return v && v->begin ? size_t(v->end - v->begin) : 0;
}

// A copy of a (M, 3) index array, each index below `limit`.
std::vector<uint32_t> indices(const ArrayArgument& array, size_t limit, const char* what) {
    const uint32_t* begin = array.as<uint32_t>();
    std::vector<uint32_t> out(begin, begin + array.rows() * 3);
    for (size_t i = 0; i < out.size(); ++i)
        if (out[i] >= limit)
            refuseValue(array.name(), "index " + std::to_string(out[i]) + " in row " + std::to_string(i / 3) +
                                          " names no " + what + " (there are " + std::to_string(limit) + ")");
    return out;
}

// The effects hand back copies of what they were served; anything else is
// refused before a byte is written.
void sizeMismatch(const char* what, size_t got, size_t expected) {
    if (got != expected)
        throw std::runtime_error("the effects handed back " + std::to_string(got) + " " + what + " for " +
                                 std::to_string(expected));
}

// Memmove: a geometry processed in place is its own target.
void takePoints(const HostVector<Vec3>* from, size_t count, Vec3* to, const char* what) {
    sizeMismatch(what, countOf(from), count);
    if (count) std::memmove(to, from->begin, count * sizeof(Vec3));
}

void copyParticles(const ParticleSet* from, size_t count, Vec3* to) {
    const HostVector<Particle>* particles = from ? from->particles : nullptr;
    sizeMismatch("particles", countOf(particles), count);
    for (size_t i = 0; i < count; ++i) to[i] = particles->begin[i].position;
}
}  // namespace

Geometry::Geometry(py::handle positions, py::handle triangles, py::handle normals, py::handle uvs,
                   py::handle uvTriangles, py::handle curves, py::handle closed, py::handle particles) {
    hasMesh_ = !positions.is_none();
    if (!hasMesh_) {
        for (const auto& [array, name] : {std::pair{triangles, "triangles"}, {normals, "normals"}, {uvs, "uvs"},
                                          {uvTriangles, "uv_triangles"}})
            if (!array.is_none()) refuseValue(name, "a mesh needs positions");
    } else {
        positions_ = ArrayArgument(positions, "positions", Element::Float32, 3);
        const size_t n = positions_.rows();
        ArrayArgument faces;
        if (!triangles.is_none()) {
            faces = ArrayArgument(triangles, "triangles", Element::UInt32, 3);
            faces_ = indices(faces, n, "vertex");
        }
        if (!normals.is_none()) normals_ = ArrayArgument(normals, "normals", Element::Float32, 3, long(n));
        if (uvs.is_none() != uvTriangles.is_none())
            refuseValue(uvs.is_none() ? "uvs" : "uv_triangles", "uvs and uv_triangles come together");
        if (!uvs.is_none()) {
            uvs_ = ArrayArgument(uvs, "uvs", Element::Float32, 2);
            uvFaces_ = indices(ArrayArgument(uvTriangles, "uv_triangles", Element::UInt32, 3, long(faces_.size() / 3)),
                               uvs_.rows(), "uv");
        }
        faceFlags_.assign(faces_.size() / 3 / 10 + 1, 0u);
        vertexArray_ = arrayOf(positions_.as<Vec3>(), n);
        normalArray_ = arrayOf(normals_.as<Vec3>(), normals_.rows());
        faceArray_ = arrayOf(faces_.data(), faces_.size());
        uvFaceArray_ = arrayOf(uvFaces_.data(), uvFaces_.size());
        uvArray_ = arrayOf(uvs_.as<UV>(), uvs_.rows());
        mesh_ = Mesh{&vertexArray_, normals_.given() ? &normalArray_ : nullptr, &faceArray_,
                     uvs_.given() ? &uvFaceArray_ : nullptr, uvs_.given() ? &uvArray_ : nullptr, faceFlags_.data(),
                     kNoDisplayList};
    }

    hasSpline_ = !curves.is_none();
    if (!hasSpline_ && !closed.is_none() && (!py::isinstance<py::sequence>(closed) || py::len(closed) != 0))
        refuseValue("closed", "there are no curves to close");
    if (hasSpline_) {
        if (!py::isinstance<py::sequence>(curves) || py::isinstance<py::str>(curves))
            refuseType("curves", "expected a sequence of float32 arrays of shape (N, 3)");
        const py::sequence list = py::reinterpret_borrow<py::sequence>(curves);
        py::sequence flags;
        if (!closed.is_none()) {
            if (!py::isinstance<py::sequence>(closed) || py::len(closed) != py::len(list))
                refuseValue("closed", "expected one truth value per curve (" + std::to_string(py::len(list)) + ")");
            flags = py::reinterpret_borrow<py::sequence>(closed);
        }
        for (size_t c = 0; c < py::len(list); ++c) {
            curvePoints_.emplace_back(list[c], "curves[" + std::to_string(c) + "]", Element::Float32, 3);
            const ArrayArgument& points = curvePoints_.back();
            lengths_.emplace_back(points.rows(), 0.0f);
            Curve record{};
            record.points = arrayOf(points.as<Vec3>(), points.rows());
            record.segmentLengths = arrayOf(lengths_.back().data(), points.rows());
            record.closed = flags ? bool(py::bool_(flags[c])) : false;
            curves_.push_back(record);
        }
        curveArray_ = arrayOf(curves_.data(), curves_.size());
        spline_.curves = &curveArray_;
    }

    hasParticles_ = !particles.is_none();
    if (hasParticles_) {
        particlePositions_ = ArrayArgument(particles, "particles", Element::Float32, 3);
        particles_.resize(particlePositions_.rows());
        for (size_t i = 0; i < particles_.size(); ++i) particles_[i] = Particle{{0, 0, 0}, uint32_t(i), 0u};
        particleArray_ = arrayOf(particles_.data(), particles_.size());
        particleSet_.particles = &particleArray_;
    }
}

void Geometry::serve(HostData& data) {
    for (size_t c = 0; c < curves_.size(); ++c) {
        const ArrayArgument& points = curvePoints_[c];
        curves_[c].length = measureCurve(points.as<Vec3>(), points.rows(), curves_[c].closed, lengths_[c].data());
    }
    const Vec3* positions = particlePositions_.as<Vec3>();
    for (size_t i = 0; i < particles_.size(); ++i) particles_[i].position = positions[i];
    data.serve(hasMesh_ ? &mesh_ : nullptr, hasSpline_ ? &spline_ : nullptr,
               hasParticles_ ? &particleSet_ : nullptr);
}

void Geometry::checkTarget(const Geometry& source) const {
    const auto check = [](bool here, bool there, const ArrayArgument& array, size_t rows) {
        if (!here) return;
        if (!there) refuseValue("out." + array.name(), "the geometry processed has none");
        if (array.rows() != rows)
            refuseValue("out." + array.name(), "expected " + std::to_string(rows) + " rows like the geometry processed, got " +
                                                   std::to_string(array.rows()));
        array.requireWritable("out." + array.name());
    };
    check(hasMesh_, source.hasMesh_, positions_, source.positions_.rows());
    check(normals_.given(), source.normals_.given(), normals_, source.normals_.rows());
    check(hasParticles_, source.hasParticles_, particlePositions_, source.particlePositions_.rows());
    if (!hasSpline_) return;
    if (!source.hasSpline_ || curvePoints_.size() != source.curvePoints_.size())
        refuseValue("out.curves", "expected " + std::to_string(source.curvePoints_.size()) +
                                      " curves like the geometry processed, got " + std::to_string(curvePoints_.size()));
    for (size_t c = 0; c < curvePoints_.size(); ++c)
        check(true, true, curvePoints_[c], source.curvePoints_[c].rows());
}

void Geometry::take(const HostData& data) {
    const Mesh* mesh = data.mesh;
    if (hasMesh_) takePoints(mesh ? mesh->vertices : nullptr, positions_.rows(), positions_.as<Vec3>(), "vertices");
    if (normals_.given()) takePoints(mesh ? mesh->normals : nullptr, normals_.rows(), normals_.as<Vec3>(), "normals");
    if (hasSpline_) {
        const HostVector<Curve>* curves = data.spline ? data.spline->curves : nullptr;
        sizeMismatch("curves", countOf(curves), curvePoints_.size());
        for (size_t c = 0; c < curvePoints_.size(); ++c)
            takePoints(&curves->begin[c].points, curvePoints_[c].rows(), curvePoints_[c].as<Vec3>(), "curve points");
    }
    if (hasParticles_)
        copyParticles(data.particles, particlePositions_.rows(), particlePositions_.as<Vec3>());
}

size_t Geometry::pointCount(const std::string& kind) const {
    if (kind == "mesh" && hasMesh_) return positions_.rows();
    if (kind == "particles" && hasParticles_) return particlePositions_.rows();
    if (kind == "curves" && hasSpline_) {
        size_t n = 0;
        for (const ArrayArgument& points : curvePoints_) n += points.rows();
        return n;
    }
    refuseValue("kind", "the geometry has no " + kind + " (bake 'mesh', 'particles' or 'curves')");
}

void Geometry::copyPoints(const HostData& data, const std::string& kind, Vec3* out) const {
    const size_t count = pointCount(kind);
    if (kind == "mesh") {
        takePoints(data.mesh ? data.mesh->vertices : nullptr, count, out, "vertices");
    } else if (kind == "particles") {
        copyParticles(data.particles, count, out);
    } else {
        const HostVector<Curve>* curves = data.spline ? data.spline->curves : nullptr;
        sizeMismatch("curves", countOf(curves), curvePoints_.size());
        for (size_t c = 0; c < curvePoints_.size(); out += curvePoints_[c++].rows())
            takePoints(&curves->begin[c].points, curvePoints_[c].rows(), out, "curve points");
    }
}
