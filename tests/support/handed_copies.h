// What a process handed back, kind by kind, as raw words: the particles, the
// spline (points, segment lengths, closed marks, lengths) and the mesh
// (vertices, normals, faces, uv faces, uvs). Runs compare them bit for bit.
#pragma once

#include <cstdint>
#include <vector>

#include "kit/host_data.h"

struct Handed {
    std::vector<uint32_t> kinds[3];  // empty: not handed back
    explicit Handed(const HostData& h);
    bool operator==(const Handed&) const = default;
};
