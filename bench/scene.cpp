#include "scene.h"

#include <algorithm>
#include <cmath>

namespace {
// A repeatable pseudo-random value in -1..1.
float noise(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1u << 23) - 1.0f;
}

constexpr uint32_t kCurvePoints = 1000;

Scene content(uint32_t n) {
    Scene s;
    uint32_t seed = 12345u;
    s.particles.resize(n);
    for (uint32_t i = 0; i < n; ++i) s.particles[i] = {{10 * noise(seed), 10 * noise(seed), 10 * noise(seed)}, i, ~i};

    // Helices of kCurvePoints points (the last one takes the rest), every other one closed.
    const uint32_t curveCount = std::max(1u, n / kCurvePoints);
    s.curves.resize(curveCount);
    for (uint32_t i = 0; i < n; ++i) {
        const double a = 0.05 * (i % kCurvePoints);
        SceneCurve& curve = s.curves[std::min(i / kCurvePoints, curveCount - 1)];
        curve.points.push_back({float(5 * std::cos(a)), float(5 * std::sin(a)), float(0.01 * i)});
    }
    for (uint32_t c = 1; c < curveCount; c += 2) s.curves[c].closed = true;

    // A w x h grid over a gentle wave; vertices past the last full row stand alone.
    const uint32_t w = std::max(2u, uint32_t(std::sqrt(double(n)))), h = n / w;
    s.vertices.resize(n);
    s.uvs.resize(n);
    for (uint32_t i = 0; i < n; ++i) {
        const float x = float(i % w), y = float(i / w);
        s.vertices[i] = {x, y, float(0.5 * std::sin(0.3 * x) * std::cos(0.2 * y))};
        s.uvs[i] = {x / float(w - 1), y / float(std::max(h, 2u) - 1)};
    }
    s.normals.assign(n, {0.0f, 0.0f, 1.0f});
    for (uint32_t r = 0; r + 1 < h; ++r)
        for (uint32_t c = 0; c + 1 < w; ++c) {
            const uint32_t a = r * w + c, b = a + 1, d = a + w, e = d + 1;
            s.faces.insert(s.faces.end(), {a, b, d, b, e, d});
        }
    s.uvFaces = s.faces;
    return s;
}
}  // namespace

BenchScene::BenchScene(uint32_t n) : scene_(content(n)), records_(scene_), normals_(records_.mesh()->normals) {
    for (const SceneCurve& curve : scene_.curves)
        curvePoints_.insert(curvePoints_.end(), curve.points.begin(), curve.points.end());
    shuffledFaces_ = scene_.faces;
    uint32_t seed = 54321u;
    for (size_t f = shuffledFaces_.size() / 3; f > 1; --f) {  // Fisher and Yates
        const size_t g = size_t(double(noise(seed) + 1.0f) * 0.5 * double(f)) % f;
        for (size_t j = 0; j < 3; ++j) std::swap(shuffledFaces_[3 * (f - 1) + j], shuffledFaces_[3 * g + j]);
    }
    shuffledUvFaces_ = shuffledFaces_;
    faceArray_ = *records_.mesh()->faces;
    uvFaceArray_ = *records_.mesh()->uvFaces;
    shuffledFaceArray_ = viewOf(shuffledFaces_);
    shuffledUvFaceArray_ = viewOf(shuffledUvFaces_);
    host_.serve(records_);
    host_.keepHanded = false;
}

void BenchScene::offerShuffledFaces(bool on) {
    Mesh& mesh = *records_.mesh();
    *mesh.faces = on ? shuffledFaceArray_ : faceArray_;
    *mesh.uvFaces = on ? shuffledUvFaceArray_ : uvFaceArray_;
    shuffled_ = on;
}

void BenchScene::offerNormals(bool on) {
    records_.mesh()->normals = on ? normals_ : nullptr;
    withNormals_ = on;
}

size_t BenchScene::particleBytes() const { return scene_.particles.size() * sizeof(Particle); }

size_t BenchScene::splineBytes() const {
    return curvePoints_.size() * (sizeof(Vec3) + sizeof(float)) + scene_.curves.size() * sizeof(Curve);
}

size_t BenchScene::meshBytes() const {
    const size_t normals = withNormals_ ? scene_.normals.size() : 0, faceFlags = scene_.faces.size() / 3 / 10 + 1;
    return (scene_.vertices.size() + normals) * sizeof(Vec3) + scene_.uvs.size() * sizeof(UV) +
           (scene_.faces.size() + scene_.uvFaces.size() + faceFlags) * sizeof(uint32_t);
}
