#include "floors.h"

#include <cmath>
#include <cstring>

void normalKernel(const Vec3* v, uint32_t vertexCount, const uint32_t* f, uint32_t faceCount, Vec3* n) {
    std::memset(static_cast<void*>(n), 0, sizeof(Vec3) * vertexCount);
    for (uint32_t i = 0; i < faceCount; ++i, f += 3) {
        const Vec3 &a = v[f[0]], &b = v[f[1]], &c = v[f[2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float wx = c.x - a.x, wy = c.y - a.y, wz = c.z - a.z;
        const float nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
        const float area = 0.5f * std::sqrt(nx * nx + ny * ny + nz * nz);
        for (int j = 0; j < 3; ++j) {
            Vec3& m = n[f[j]];
            m.x += area * nx;
            m.y += area * ny;
            m.z += area * nz;
        }
    }
    for (uint32_t i = 0; i < vertexCount; ++i) {
        const float l = std::sqrt(n[i].x * n[i].x + n[i].y * n[i].y + n[i].z * n[i].z);
        const float r = l > 0.0f ? 1.0f / l : 0.0f;
        n[i] = {n[i].x * r, n[i].y * r, n[i].z * r};
    }
}

namespace {
// The calls of each rule with its default parameters; the arguments come
// from the point so that no call can be hoisted.
double harmonik(const Vec3& p) {
    const double az = std::atan2(double(p.z), double(p.x));
    const double polar = std::atan2(std::sqrt(double(p.x) * p.x + double(p.z) * p.z), double(p.y));
    return std::sin(0.5 + 5.0 * az + 5.0 * polar);
}

double elipsoid(const Vec3& p) {
    const double xz = double(p.x) * p.x + double(p.z) * p.z;
    const double r = std::sqrt(xz + double(p.y) * p.y);
    const double az = std::atan2(double(p.z), double(p.x)), polar = std::atan2(std::sqrt(xz), double(p.y));
    const double e = 1.2345;
    return r * (std::pow(std::fabs(std::cos(az)), e) + std::pow(std::fabs(std::sin(az)), e) +
                std::pow(std::fabs(std::cos(polar)), e) + std::pow(std::fabs(std::sin(polar)), e));
}

double twist(const Vec3& p) {
    const double theta = 0.5 + std::atan2(double(p.z), double(p.x)) + 0.5 * p.y;
    return std::sqrt(double(p.x) * p.x + double(p.z) * p.z) * (std::cos(theta) + std::sin(theta));
}

double cosine(const Vec3& p) {
    return std::cos(0.5 * p.x - 6.0) + std::cos(0.5 * p.y - 6.0) + std::cos(0.5 * p.z - 6.0);
}

double tangent(const Vec3& p) {
    return std::tan(0.1 * p.x - 0.06) + std::tan(0.1 * p.y - 0.06) + std::tan(0.1 * p.z - 0.06);
}

// Only the points inside the default sphere (radius 5) call sqrt and pow.
double magnet(const Vec3& p) {
    const double q = double(p.x) * p.x + double(p.y) * p.y + double(p.z) * p.z;
    return q < 25.0 ? std::pow(std::sqrt(q) / 5.0, 5.0515) : 0.0;
}

struct MathLoop {
    const char* effect;
    double (*rule)(const Vec3&);
};
// Translate, Scale, Rotate and Translate from spline call none.
constexpr MathLoop kLoops[] = {{"Harmonik", harmonik},   {"Elipsoid", elipsoid},   {"Twist", twist},
                               {"Cosine", cosine},       {"Cosine+tan", tangent},  {"Magnet", magnet},
                               {"Translate", nullptr},   {"Scale", nullptr},       {"Rotate", nullptr},
                               {"TranslateFromSpline", nullptr}};

const MathLoop* loopOf(const std::string& effect) {
    for (const MathLoop& loop : kLoops)
        if (effect == loop.effect) return &loop;
    return nullptr;
}
}  // namespace

bool hasLoopPeer(const std::string& effect) { return loopOf(effect) != nullptr; }

bool hasMathLoop(const std::string& effect) { return hasLoopPeer(effect) && loopOf(effect)->rule; }

double mathLoop(const std::string& effect, const PointView& points) {
    double (*rule)(const Vec3&) = loopOf(effect)->rule;
    double total = 0.0;
    for (uint32_t i = 0; i < points.n; ++i) total += rule(points[i]);
    return total;
}
