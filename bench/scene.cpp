#include "scene.h"

#include <algorithm>
#include <cmath>

namespace {
// A repeatable pseudo-random value in -1..1.
float noise(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1u << 23) - 1.0f;
}

constexpr uint32_t kCurvePoints = 1000, kStrandPoints = 8;

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

// Strands of kStrandPoints points (the last one takes the rest) rising from a disc, each with a curl.
Scene strands(uint32_t n) {
    Scene s;
    s.hasMesh = s.hasParticles = false;
    const uint32_t strandCount = std::max(1u, n / kStrandPoints);
    s.curves.resize(strandCount);
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t strand = std::min(i / kStrandPoints, strandCount - 1), k = i - strand * kStrandPoints;
        const double a = 2.399963 * strand, r = 5 * std::sqrt((strand + 0.5) / strandCount), curl = 0.4 * k;
        s.curves[strand].points.push_back({float(r * std::cos(a) + 0.1 * std::cos(curl)),
                                           float(r * std::sin(a) + 0.1 * std::sin(curl)), float(0.15 * k)});
    }
    return s;
}
}  // namespace

BenchScene::BenchScene(uint32_t n)
    : scene_(content(n)),
      strandScene_(strands(n)),
      records_(scene_),
      strandRecords_(strandScene_),
      helices_(records_.spline()->curves),
      normals_(records_.mesh()->normals) {
    for (const SceneCurve& curve : scene_.curves)
        curvePoints_.insert(curvePoints_.end(), curve.points.begin(), curve.points.end());
    for (const SceneCurve& curve : strandScene_.curves)
        strandPoints_.insert(strandPoints_.end(), curve.points.begin(), curve.points.end());
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

void BenchScene::offerStrands(bool on) {
    records_.spline()->curves = on ? strandRecords_.spline()->curves : helices_;
    strands_ = on;
}

void BenchScene::offerNormals(bool on) {
    records_.mesh()->normals = on ? normals_ : nullptr;
    withNormals_ = on;
}

size_t BenchScene::particleBytes() const { return scene_.particles.size() * sizeof(Particle); }

size_t BenchScene::splineBytes() const {
    const size_t curves = (strands_ ? strandScene_ : scene_).curves.size();
    return curvePoints().size() * (sizeof(Vec3) + sizeof(float)) + curves * sizeof(Curve);
}

size_t BenchScene::meshBytes() const {
    const size_t normals = withNormals_ ? scene_.normals.size() : 0, faceFlags = scene_.faces.size() / 3 / 10 + 1;
    return (scene_.vertices.size() + normals) * sizeof(Vec3) + scene_.uvs.size() * sizeof(UV) +
           (scene_.faces.size() + scene_.uvFaces.size() + faceFlags) * sizeof(uint32_t);
}
