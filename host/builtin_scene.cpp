#include "builtin_scene.h"

#include <cstdint>
#include <utility>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr int kRing = 96, kTube = 48;        // torus segments: 4608 vertices
constexpr double kRingRadius = 3.0, kTubeRadius = 1.2;

Vec3 vec(double x, double y, double z) { return {float(x), float(y), float(z)}; }

// cos and sin of k/n of a turn, bit for bit the same on every platform and C
// runtime (x87's sin(pi) is 1.2246063538223773e-16, glibc's
// 1.2246467991473532e-16): the angle is folded into the first octant in
// integers, and the series summed there in plain double arithmetic.
struct CosSin {
    double c, s;
};
CosSin turn(long k, long n) {
    k %= n;
    if (k < 0) k += n;
    const long octant = 8 * k / n, rest = 8 * k - octant * n;  // the angle is pi/4 (octant + rest/n)
    const bool odd = octant % 2 == 1;
    const double x = kPi * double(odd ? n - rest : rest) / (4.0 * double(n));  // 0 <= x <= pi/4
    const double x2 = x * x;
    double c = 1.0, s = 1.0;
    for (int term = 20; term > 0; term -= 2) {  // to x^20 and x^21: far below an ulp at pi/4
        c = 1.0 - c * x2 / double(term * (term - 1));
        s = 1.0 - s * x2 / double((term + 1) * term);
    }
    s *= x;
    if (odd) std::swap(c, s);  // pi/2 - x within the quadrant
    switch (octant / 2) {
        case 1: return {-s, c};
        case 2: return {-c, -s};
        case 3: return {s, -c};
        default: return {c, s};
    }
}

void addTorus(Scene& scene) {
    for (int i = 0; i < kRing; ++i) {
        const CosSin u = turn(i, kRing);
        for (int j = 0; j < kTube; ++j) {
            const CosSin v = turn(j, kTube);
            const Vec3 n = vec(v.c * u.c, v.c * u.s, v.s);
            scene.normals.push_back(n);
            scene.vertices.push_back(vec(kRingRadius * u.c + kTubeRadius * n.x, kRingRadius * u.s + kTubeRadius * n.y,
                                         kTubeRadius * n.z));
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
    SceneCurve helix;  // open: one and a half turns about y, rising from -3 to 3
    for (int k = 0; k < 120; ++k) {
        const double t = k / 119.0;
        const CosSin a = turn(3 * k, 2 * 119);  // 3 pi t
        helix.points.push_back(vec(5.0 * a.c, -3.0 + 6.0 * t, 5.0 * a.s));
    }
    SceneCurve ring;  // closed: a circle about the torus in the x-z plane
    ring.closed = true;
    for (int k = 0; k < 72; ++k) {
        const CosSin a = turn(k, 72);
        ring.points.push_back(vec(5.5 * a.c, 0.0, 5.5 * a.s));
    }
    scene.curves = {helix, ring};
}

void addParticles(Scene& scene) {
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
