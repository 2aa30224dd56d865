#include "handed_copies.h"

#include <cstring>

#include "scene/host_vector.h"

namespace {
template <class T>
void append(std::vector<uint32_t>& out, const HostVector<T>* v) {
    const uint32_t n = count(v);
    out.push_back(n);
    const size_t start = out.size();
    out.resize(start + (sizeof(T) * n + 3) / 4);
    if (n) std::memcpy(&out[start], v->begin, sizeof(T) * n);
}
}  // namespace

Handed::Handed(const HostData& h) {
    if (h.handedParticles) append(kinds[0], h.handedParticles->particles);
    if (const Spline* s = h.handedSpline) {
        kinds[1].push_back(count(s->curves));
        for (uint32_t c = 0; c < count(s->curves); ++c) {
            const Curve& curve = s->curves->begin[c];
            append(kinds[1], &curve.points);
            append(kinds[1], &curve.segmentLengths);
            // An open curve's last entry is not a segment: it keeps whatever an earlier frame left.
            if (!curve.closed && count(curve.segmentLengths)) kinds[1].back() = 0;
            kinds[1].push_back(curve.closed);
            std::memcpy(&kinds[1].emplace_back(), &curve.length, 4);
        }
    }
    if (const Mesh* m = h.handedMesh) {
        for (const auto* v : {m->vertices, m->normals}) append(kinds[2], v);
        for (const auto* v : {m->faces, m->uvFaces}) append(kinds[2], v);
        append(kinds[2], m->uvs);
    }
}
