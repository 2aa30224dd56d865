#include "scene.h"

#include <algorithm>
#include <cmath>

namespace {
template <class T>
HostVector<T> viewOf(std::vector<T>& v, size_t first = 0, size_t n = size_t(-1)) {
    n = std::min(n, v.size() - first);
    T* begin = n ? v.data() + first : nullptr;
    return {0u, begin, begin ? begin + n : nullptr, begin ? begin + n : nullptr};
}

// A repeatable pseudo-random value in -1..1.
float noise(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1u << 23) - 1.0f;
}

constexpr uint32_t kCurvePoints = 1000;
}  // namespace

BenchScene::BenchScene(uint32_t n) {
    uint32_t seed = 12345u;
    particles_.resize(n);
    for (uint32_t i = 0; i < n; ++i)
        particles_[i] = {{10 * noise(seed), 10 * noise(seed), 10 * noise(seed)}, i, ~i};

    // Helices of kCurvePoints points (the last one takes the rest), every other one closed.
    curvePoints_.resize(n);
    for (uint32_t i = 0; i < n; ++i) {
        const double a = 0.05 * (i % kCurvePoints);
        curvePoints_[i] = {float(5 * std::cos(a)), float(5 * std::sin(a)), float(0.01 * i)};
    }
    curveLengths_.assign(n, 0.0f);
    const uint32_t curveCount = std::max(1u, n / kCurvePoints);
    curves_.resize(curveCount);
    for (uint32_t c = 0; c < curveCount; ++c) {
        const uint32_t first = c * kCurvePoints, count = c + 1 == curveCount ? n - first : kCurvePoints;
        Curve& curve = curves_[c];
        curve.points = viewOf(curvePoints_, first, count);
        curve.segmentLengths = viewOf(curveLengths_, first, count);
        curve.closed = c % 2 == 1;
        float length = 0.0f;
        for (uint32_t i = 0; i + 1 < count + (curve.closed ? 1 : 0); ++i) {
            const Vec3 &p = curvePoints_[first + i], &q = curvePoints_[first + (i + 1) % count];
            const double dx = double(q.x) - p.x, dy = double(q.y) - p.y, dz = double(q.z) - p.z;
            curveLengths_[first + i] = float(std::sqrt(dx * dx + dy * dy + dz * dz));
            length = float(double(length) + curveLengths_[first + i]);
        }
        curve.length = length;
    }

    // A w x h grid over a gentle wave; vertices past the last full row stand alone.
    const uint32_t w = std::max(2u, uint32_t(std::sqrt(double(n)))), h = n / w;
    vertices_.resize(n);
    uvs_.resize(n);
    for (uint32_t i = 0; i < n; ++i) {
        const float x = float(i % w), y = float(i / w);
        vertices_[i] = {x, y, float(0.5 * std::sin(0.3 * x) * std::cos(0.2 * y))};
        uvs_[i] = {x / float(w - 1), y / float(std::max(h, 2u) - 1)};
    }
    normals_.assign(n, {0.0f, 0.0f, 1.0f});
    for (uint32_t r = 0; r + 1 < h; ++r)
        for (uint32_t c = 0; c + 1 < w; ++c) {
            const uint32_t a = r * w + c, b = a + 1, d = a + w, e = d + 1;
            faces_.insert(faces_.end(), {a, b, d, b, e, d});
        }
    uvFaces_ = faces_;
    faceFlags_.assign(faces_.size() / 3 / 10 + 1, 0u);
    shuffledFaces_ = faces_;
    for (size_t f = faces_.size() / 3; f > 1; --f) {  // Fisher and Yates
        const size_t g = size_t(double(noise(seed) + 1.0f) * 0.5 * double(f)) % f;
        for (size_t j = 0; j < 3; ++j) std::swap(shuffledFaces_[3 * (f - 1) + j], shuffledFaces_[3 * g + j]);
    }
    shuffledUvFaces_ = shuffledFaces_;

    particleArray_ = viewOf(particles_);
    particleSet_.particles = &particleArray_;
    curveArray_ = viewOf(curves_);
    spline_.curves = &curveArray_;
    vertexArray_ = viewOf(vertices_);
    normalArray_ = viewOf(normals_);
    faceArray_ = viewOf(faces_);
    uvFaceArray_ = viewOf(uvFaces_);
    shuffledFaceArray_ = viewOf(shuffledFaces_);
    shuffledUvFaceArray_ = viewOf(shuffledUvFaces_);
    uvArray_ = viewOf(uvs_);
    mesh_ = {&vertexArray_, &normalArray_, &faceArray_, &uvFaceArray_, &uvArray_, faceFlags_.data(), kNoDisplayList};
}

void BenchScene::offerNormals(bool on) { mesh_.normals = on ? &normalArray_ : nullptr; }

void BenchScene::offerShuffledFaces(bool on) {
    mesh_.faces = on ? &shuffledFaceArray_ : &faceArray_;
    mesh_.uvFaces = on ? &shuffledUvFaceArray_ : &uvFaceArray_;
}

size_t BenchScene::particleBytes() const { return particles_.size() * sizeof(Particle); }

size_t BenchScene::splineBytes() const {
    return curvePoints_.size() * (sizeof(Vec3) + sizeof(float)) + curves_.size() * sizeof(Curve);
}

size_t BenchScene::meshBytes() const {
    const size_t normals = mesh_.normals ? normals_.size() : 0;
    return (vertices_.size() + normals) * sizeof(Vec3) + uvs_.size() * sizeof(UV) +
           (faces_.size() + uvFaces_.size() + faceFlags_.size()) * sizeof(uint32_t);
}
