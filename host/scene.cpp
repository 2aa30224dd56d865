#include "scene.h"

#include <algorithm>
#include <cmath>

namespace {
template <class T>
HostVector<T> viewOf(std::vector<T>& v) {
    if (v.empty()) return {0u, nullptr, nullptr, nullptr};
    return {0u, v.data(), v.data() + v.size(), v.data() + v.size()};
}

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

float distance(const Vec3& a, const Vec3& b) {
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}
}  // namespace

SceneRecords::SceneRecords(Scene& scene) : scene_(scene) {
    // Every curve carries one length per point: point i to i + 1, and the
    // closing distance last when the curve is closed.
    lengths_.reserve(scene.curves.size());
    for (SceneCurve& curve : scene.curves) {
        const size_t n = curve.points.size();
        std::vector<float> lengths(n, 0.0f);
        float total = 0.0f;
        for (size_t i = 0; i + 1 < n; ++i) total += lengths[i] = distance(curve.points[i], curve.points[i + 1]);
        if (curve.closed && n > 0) total += lengths[n - 1] = distance(curve.points[n - 1], curve.points[0]);
        lengths_.push_back(std::move(lengths));
        Curve record{};
        record.points = viewOf(curve.points);
        record.segmentLengths = viewOf(lengths_.back());
        record.closed = curve.closed;
        record.length = total;
        curves_.push_back(record);
    }
    curveArray_ = viewOf(curves_);
    spline_.curves = &curveArray_;

    particleArray_ = viewOf(scene.particles);
    particleSet_.particles = &particleArray_;

    const size_t faceCount = scene.faces.size() / 3;
    faceFlags_.assign(faceCount / 10 + 1, 0u);
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
    if (mesh) {
        scene.hasMesh = true;
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
    if (spline && spline->curves) {
        scene.hasSpline = true;
        for (const Curve& record : copyOf(spline->curves))
            scene.curves.push_back(SceneCurve{copyOf(&record.points), record.closed});
    }
    if (particles && particles->particles) {
        scene.hasParticles = true;
        scene.particles = copyOf(particles->particles);
    }
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
