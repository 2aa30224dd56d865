#include "builtin_scene.h"

#include <cmath>
#include <cstdint>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr int kRing = 96, kTube = 48;        // torus segments: 4608 vertices
constexpr double kRingRadius = 3.0, kTubeRadius = 1.2;

Vec3 vec(double x, double y, double z) { return {float(x), float(y), float(z)}; }

void addTorus(Scene& scene) {
    scene.hasMesh = true;
    for (int i = 0; i < kRing; ++i) {
        const double u = 2 * kPi * i / kRing;
        for (int j = 0; j < kTube; ++j) {
            const double v = 2 * kPi * j / kTube;
            const Vec3 n = vec(std::cos(v) * std::cos(u), std::cos(v) * std::sin(u), std::sin(v));
            scene.normals.push_back(n);
            scene.vertices.push_back(vec(kRingRadius * std::cos(u) + kTubeRadius * n.x,
                                         kRingRadius * std::sin(u) + kTubeRadius * n.y, kTubeRadius * n.z));
        }
    }
    // The uv grid repeats its seams, so uv corners differ from vertex corners there.
    for (int i = 0; i <= kRing; ++i)
        for (int j = 0; j <= kTube; ++j) scene.uvs.push_back(UV{float(i) / kRing, float(j) / kTube});
    auto vertex = [](int i, int j) { return uint32_t((i % kRing) * kTube + j % kTube); };
    auto uv = [](int i, int j) { return uint32_t(i * (kTube + 1) + j); };
    for (int i = 0; i < kRing; ++i) {
        for (int j = 0; j < kTube; ++j) {
            const int corners[2][3][2] = {{{i, j}, {i + 1, j}, {i + 1, j + 1}}, {{i, j}, {i + 1, j + 1}, {i, j + 1}}};
            for (const auto& triangle : corners) {
                for (const auto& c : triangle) {
                    scene.faces.push_back(vertex(c[0], c[1]));
                    scene.uvFaces.push_back(uv(c[0], c[1]));
                }
            }
        }
    }
}

void addSpline(Scene& scene) {
    scene.hasSpline = true;
    SceneCurve helix;  // open: one and a half turns about y, rising from -3 to 3
    for (int k = 0; k < 120; ++k) {
        const double t = k / 119.0, a = 3 * kPi * t;
        helix.points.push_back(vec(5.0 * std::cos(a), -3.0 + 6.0 * t, 5.0 * std::sin(a)));
    }
    SceneCurve ring;  // closed: a circle about the torus in the x-z plane
    ring.closed = true;
    for (int k = 0; k < 72; ++k) {
        const double a = 2 * kPi * k / 72;
        ring.points.push_back(vec(5.5 * std::cos(a), 0.0, 5.5 * std::sin(a)));
    }
    scene.curves = {helix, ring};
}

void addParticles(Scene& scene) {
    scene.hasParticles = true;
    uint32_t state = 12345u;  // a fixed sequence: every run sees the same cloud
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / double(1u << 24);
    };
    while (scene.particles.size() < 1000) {
        const Vec3 p = vec(next() * 2 - 1, next() * 2 - 1, next() * 2 - 1);
        const double r2 = double(p.x) * p.x + double(p.y) * p.y + double(p.z) * p.z;
        if (r2 > 1.0 || r2 < 0.36) continue;  // a shell between 0.6 and 1 of the radius
        const uint32_t id = uint32_t(scene.particles.size());
        scene.particles.push_back(Particle{vec(6.0 * p.x, 6.0 * p.y, 6.0 * p.z), id, 0u});
    }
}
}  // namespace

Scene builtinScene() {
    Scene scene;
    addTorus(scene);
    addSpline(scene);
    addParticles(scene);
    return scene;
}
