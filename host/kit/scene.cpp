#include "scene.h"

#include <algorithm>
#include <cmath>

namespace {
template <class T>
std::vector<T> copyOf(const HostVector<T>* v) {
    if (!v || !v->begin) return {};
    return std::vector<T>(v->begin, v->end);
}

template <class Fn>
void forEachPoint(const Scene& scene, Fn&& fn) {
    if (scene.hasMesh)
        for (const Vec3& v : scene.vertices) fn(v);
    for (const SceneCurve& curve : scene.curves)
        for (const Vec3& p : curve.points) fn(p);
    for (const Particle& p : scene.particles) fn(p.position);
}

// A segment measured as the library measures its own copies, so that an
// effect reads the same lengths from the host as from a copy: the
// differences as floats, their squares summed in double and rounded, the
// root rounded; an exact 0 counts as 0.0001.
float segmentLength(const Vec3& a, const Vec3& b) {
    const float dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    const float squared = float(double(dx) * dx + double(dy) * dy + double(dz) * dz);
    const float length = float(std::sqrt(double(squared)));
    return length == 0.0f ? 0.0001f : length;
}
}  // namespace

float measureCurve(const Vec3* p, size_t count, bool closed, float* lengths) {
    float total = 0.0f;
    for (size_t i = 0; i < count; ++i) lengths[i] = 0.0f;
    for (size_t i = 0; i + 1 < count; ++i) total += lengths[i] = segmentLength(p[i], p[i + 1]);
    if (closed && count) total += lengths[count - 1] = segmentLength(p[count - 1], p[0]);
    return total;
}

SceneRecords::SceneRecords(Scene& scene) : scene_(scene) { publish(); }

void SceneRecords::publish() {
    Scene& scene = scene_;
    lengths_.assign(scene.curves.size(), {});
    curves_.assign(scene.curves.size(), Curve{});
    for (size_t c = 0; c < scene.curves.size(); ++c) {
        SceneCurve& curve = scene.curves[c];
        std::vector<float>& lengths = lengths_[c];
        lengths.resize(curve.points.size());
        Curve& record = curves_[c];
        record.length = measureCurve(curve.points.data(), curve.points.size(), curve.closed, lengths.data());
        record.points = viewOf(curve.points);
        record.segmentLengths = viewOf(lengths);
        record.closed = curve.closed;
    }
    curveArray_ = viewOf(curves_);
    spline_.curves = &curveArray_;

    particleArray_ = viewOf(scene.particles);
    particleSet_.particles = &particleArray_;

    faceFlags_ = scene.faceFlags;
    faceFlags_.resize(scene.faces.size() / 3 / 10 + 1, 0u);
    vertexArray_ = viewOf(scene.vertices);
    normalArray_ = viewOf(scene.normals);
    faceArray_ = viewOf(scene.faces);
    uvFaceArray_ = viewOf(scene.uvFaces);
    uvArray_ = viewOf(scene.uvs);
    mesh_.vertices = &vertexArray_;
    mesh_.normals = scene.normals.empty() ? nullptr : &normalArray_;
    mesh_.faces = &faceArray_;
    mesh_.uvFaces = scene.uvs.empty() ? nullptr : &uvFaceArray_;
    mesh_.uvs = scene.uvs.empty() ? nullptr : &uvArray_;
    mesh_.faceFlags = faceFlags_.data();
    mesh_.displayList = kNoDisplayList;
}

Scene sceneFromRecords(const Mesh* mesh, const Spline* spline, const ParticleSet* particles) {
    Scene scene;
    scene.hasMesh = mesh != nullptr;
    if (mesh) {
        scene.vertices = copyOf(mesh->vertices);
        scene.normals = copyOf(mesh->normals);
        // A handed mesh may keep normals from an earlier, larger or smaller
        // mesh: only one normal per vertex is a set of normals.
        if (scene.normals.size() != scene.vertices.size()) scene.normals.clear();
        scene.faces = copyOf(mesh->faces);
        scene.faces.resize(scene.faces.size() / 3 * 3);
        scene.uvs = copyOf(mesh->uvs);
        if (!scene.uvs.empty()) scene.uvFaces = copyOf(mesh->uvFaces);
    }
    scene.hasSpline = spline && spline->curves;
    if (scene.hasSpline)
        for (const Curve& record : copyOf(spline->curves))
            scene.curves.push_back(SceneCurve{copyOf(&record.points), record.closed});
    scene.hasParticles = particles && particles->particles;
    if (scene.hasParticles) scene.particles = copyOf(particles->particles);
    return scene;
}

Bounds boundsOf(const Scene& scene) {
    Bounds b;
    auto include = [&b](const Vec3& p) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return;
        if (b.empty) {
            b.min = b.max = p;
            b.empty = false;
            return;
        }
        b.min = {std::min(b.min.x, p.x), std::min(b.min.y, p.y), std::min(b.min.z, p.z)};
        b.max = {std::max(b.max.x, p.x), std::max(b.max.y, p.y), std::max(b.max.z, p.z)};
    };
    forEachPoint(scene, include);
    const double cx = (double(b.min.x) + b.max.x) / 2, cy = (double(b.min.y) + b.max.y) / 2,
                 cz = (double(b.min.z) + b.max.z) / 2;
    double r2 = 0.0;
    forEachPoint(scene, [&](const Vec3& p) {
        if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z))
            r2 = std::max(r2, (p.x - cx) * (p.x - cx) + (p.y - cy) * (p.y - cy) + (p.z - cz) * (p.z - cz));
    });
    b.radius = float(std::sqrt(r2));
    return b;
}
