// A scene of every kind for the tests that drive whole frames: particles,
// curves (every second one closed) and a side x side grid with normals and uvs.
#pragma once

#include <cstdint>

#include "kit/scene.h"

inline Scene gridScene(int particles, int curves, int curvePoints, uint32_t side) {
    Scene s;
    for (int i = 0; i < particles; ++i)
        s.particles.push_back({{0.01f * i, float(i % 7), float(i % 13)}, uint32_t(i), 7u});
    for (int c = 0; c < curves; ++c) {
        s.curves.push_back({{}, c % 2 == 1});
        for (int i = 0; i < curvePoints; ++i) s.curves.back().points.push_back({float(i), float(c), float(i % 5)});
    }
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) {
            s.vertices.push_back({float(x), float(y), 0.0f});
            s.uvs.push_back({x / float(side - 1), y / float(side - 1)});
        }
    s.normals.assign(s.vertices.size(), {0, 0, 1});
    for (uint32_t y = 0; y + 1 < side; ++y)
        for (uint32_t x = 0; x + 1 < side; ++x) {
            const uint32_t a = y * side + x, b = a + 1, c = a + side, d = c + 1;
            for (uint32_t i : {a, b, d, a, d, c}) s.faces.push_back(i);
        }
    s.uvFaces = s.faces;
    return s;
}
