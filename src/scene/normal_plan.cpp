#include "scene/normal_plan.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "scene/host_vector.h"

namespace {
constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr uint32_t kChunk = NormalPlan::kChunk, kGroup = NormalPlan::kGroup;
// A ring of this many entries (256 KiB) stays in the second-level cache; a
// face order that needs more is worth sorting by the faces' lowest vertex.
constexpr uint32_t kCompactRing = 1u << 14;

// n entries, the old ones dropped rather than copied: a refused allocation
// leaves the array empty.
template <class T>
void renew(HostVector<T>& v, uint32_t n) {
    if (n > capacity(v)) freeStorage(v);
    resize(v, n);
}

uint32_t roundUp(uint32_t x, uint32_t m) { return x + (m - x % m) % m; }

uint32_t lowestCorner(const uint32_t* f) { return std::min(f[0], std::min(f[1], f[2])); }

// Working arrays of a build, freed however it ends.
struct Scratch {
    HostVector<uint32_t> v{};
    ~Scratch() { freeStorage(v); }
};
}  // namespace

void KeptNormalPlan::forget() {
    if (state_ == State::built) eager_ = reused_;
    state_ = State::unseen;
}

const NormalPlan* KeptNormalPlan::planFor(const uint32_t* faces, uint32_t faceCount, uint32_t vertexCount) {
    const bool sameCounts = faceCount == faceCount_ && vertexCount == vertexCount_;
    if (sameCounts && state_ == State::built) {
        reused_ = true;
        return &plan_;
    }
    if (sameCounts && state_ == State::refused) return nullptr;
    const bool secondSight = sameCounts && state_ == State::seen;
    faceCount_ = faceCount;
    vertexCount_ = vertexCount;
    state_ = State::seen;
    if (!eager_ && !secondSight) return nullptr;
    try {
        state_ = build(faces, faceCount, vertexCount) ? State::built : State::refused;
    } catch (const std::bad_alloc&) {
        state_ = State::seen;  // tried again next frame
    }
    reused_ = false;
    return state_ == State::built ? &plan_ : nullptr;
}

void KeptNormalPlan::release() {
    for (HostVector<uint32_t>* v : {&order_, &finished_, &rows_, &slots_, &vertices_}) freeStorage(*v);
    freeStorage(shortSlots_);
    freeStorage(ring_);
    state_ = State::unseen;
}

bool KeptNormalPlan::build(const uint32_t* faces, uint32_t faceCount, uint32_t vertexCount) {
    // Counts that the arrays' 32-bit sizes could not hold are left to the face-order rebuild.
    const uint64_t groups = (uint64_t(vertexCount) + kGroup - 1) / kGroup;
    if (faceCount == 0 || vertexCount == 0 || 3 * uint64_t(vertexCount) + 1 > kNone || kGroup * groups > kNone ||
        4 * (uint64_t(faceCount) + kGroup) + 15 > kNone)
        return false;
    Scratch scratch;
    resize(scratch.v, 3 * vertexCount + 1);
    uint32_t* degree = scratch.v.begin;            // faces per vertex, a face naming it twice counted twice
    uint32_t* first = degree + vertexCount;        // vertexCount + 1 entries
    uint32_t* last = first + vertexCount + 1;
    std::memset(degree, 0, sizeof(uint32_t) * vertexCount);
    std::fill(first, first + vertexCount, kNone);
    for (uint32_t p = 0; p < faceCount; ++p)
        for (int j = 0; j < 3; ++j) {
            const uint32_t v = faces[3 * size_t(p) + j];
            if (v >= vertexCount) return false;
            ++degree[v];
            if (first[v] == kNone) first[v] = p;
            last[v] = p;
        }
    renew(vertices_, uint32_t(kGroup * groups));
    renew(finished_, (faceCount - 1) / kChunk + 1);

    uint32_t ring = sequence(faces, faceCount, vertexCount, first, last, degree);
    Scratch position;
    if (ring > kCompactRing) {
        // The faces sorted by their lowest vertex, stably: where the vertices are numbered with
        // locality, as meshes are, the faces around a vertex come together.
        renew(order_, 3 * faceCount);
        resize(position.v, faceCount);
        std::memset(first, 0, sizeof(uint32_t) * (vertexCount + 1));
        for (uint32_t f = 0; f < faceCount; ++f) ++first[lowestCorner(faces + 3 * size_t(f)) + 1];
        for (uint32_t v = 0; v < vertexCount; ++v) first[v + 1] += first[v];
        for (uint32_t f = 0; f < faceCount; ++f) {
            const uint32_t p = first[lowestCorner(faces + 3 * size_t(f))]++;
            position.v.begin[f] = p;
            std::memcpy(order_.begin + 3 * size_t(p), faces + 3 * size_t(f), 3 * sizeof(uint32_t));
        }
        bounds(order_.begin, faceCount, vertexCount, first, last);
        const uint32_t sortedRing = sequence(order_.begin, faceCount, vertexCount, first, last, degree);
        if (sortedRing < ring) {
            ring = sortedRing;
        } else {
            freeStorage(position.v);
            bounds(faces, faceCount, vertexCount, first, last);
            ring = sequence(faces, faceCount, vertexCount, first, last, degree);
        }
    }
    const bool sorted = position.v.begin != nullptr;
    if (!sorted) freeStorage(order_);

    const uint32_t ringEntries = std::min(ring, roundUp(faceCount, kGroup));
    // Slots of 16 bits where the ring allows: half the bytes to read per frame.
    const bool shortSlots = 2 * ringEntries <= 0xFFFFu;
    if (shortSlots) {
        freeStorage(slots_);
        if (!place(shortSlots_, faces, position.v.begin, faceCount, vertexCount, ring - 1, ringEntries, first, degree))
            return false;
    } else {
        freeStorage(shortSlots_);
        if (!place(slots_, faces, position.v.begin, faceCount, vertexCount, ring - 1, ringEntries, first, degree))
            return false;
    }
    // 4 floats per entry and the zero slot's, 64-byte aligned.
    renew(ring_, 4 * (ringEntries + 1) + 15);
    float* aligned = ring_.begin + (64 - reinterpret_cast<uintptr_t>(ring_.begin) % 64) % 64 / sizeof(float);
    std::memset(aligned + 4 * size_t(ringEntries), 0, 4 * sizeof(float));

    plan_ = {sorted ? order_.begin : nullptr, faceCount, count(finished_), finished_.begin, rows_.begin, slots_.begin,
             shortSlots_.begin, vertices_.begin, ring - 1, aligned};
    return true;
}

// Each vertex's first and last position in `order`.
void KeptNormalPlan::bounds(const uint32_t* order, uint32_t faceCount, uint32_t vertexCount, uint32_t* first,
                            uint32_t* last) {
    std::fill(first, first + vertexCount, kNone);
    for (uint32_t p = 0; p < faceCount; ++p)
        for (int j = 0; j < 3; ++j) {
            const uint32_t v = order[3 * size_t(p) + j];
            if (first[v] == kNone) first[v] = p;
            last[v] = p;
        }
}

// Visits the faces in `order`, each vertex's first and last position in
// which `first` and `last` hold (`last` is used up): fills vertices_ with the
// order in which the vertices are finished (those in no face first, then each
// after its last face) and finished_ with the groups finished after each
// chunk, each chunk read a float at a time marked. Answers the ring entries
// needed, a power of two: what a vertex reads must not have been overwritten
// by a later face when it is finished.
uint32_t KeptNormalPlan::sequence(const uint32_t* order, uint32_t faceCount, uint32_t vertexCount,
                                  const uint32_t* first, uint32_t* last, const uint32_t* degree) {
    uint32_t* visit = vertices_.begin;
    uint32_t n = 0;
    for (uint32_t v = 0; v < vertexCount; ++v)
        if (degree[v] == 0) visit[n++] = v;
    const uint32_t chunks = count(finished_);
    for (uint32_t c = 0; c < chunks; ++c) {
        const uint32_t end = c + 1 < chunks ? (c + 1) * kChunk : faceCount;
        // Read a float at a time: a chunk naming the last vertex (its point ends the array), and the last.
        bool narrow = c + 1 == chunks;
        for (uint32_t p = c * kChunk; p < end; ++p)
            for (int j = 0; j < 3; ++j) {
                const uint32_t v = order[3 * size_t(p) + j];
                narrow = narrow || v == vertexCount - 1;
                if (last[v] == p) {  // once, for a face that names it twice
                    last[v] = kNone;
                    visit[n++] = v;
                }
            }
        finished_.begin[c] = (c + 1 < chunks ? n / kGroup : (n + kGroup - 1) / kGroup) |
                             (narrow ? NormalPlan::kNarrowChunk : 0);
    }
    for (uint32_t e = n; e < count(vertices_); ++e) visit[e] = visit[n - 1];
    // A chunk's writes reach its end, the last chunk's the end of its last lanes.
    uint32_t span = kChunk;
    for (uint32_t g = 0, c = 0; g < count(vertices_) / kGroup; ++g) {
        while ((finished_.begin[c] & ~NormalPlan::kNarrowChunk) <= g) ++c;
        const uint32_t end = c + 1 < chunks ? (c + 1) * kChunk : roundUp(faceCount, kGroup);
        for (uint32_t k = 0; k < kGroup; ++k) {
            const uint32_t v = visit[kGroup * g + k];
            if (degree[v]) span = std::max(span, end - first[v]);
        }
    }
    uint32_t ring = kChunk;
    while (ring < span) ring *= 2;
    return ring;
}

// Lays out each group's slots: its vertices' faces in face order, column by
// column, the zero slot below. `next` is a working array of a vertex each.
// False when the slots would not fit a 32-bit count.
template <class Slot>
bool KeptNormalPlan::place(HostVector<Slot>& slots, const uint32_t* faces, const uint32_t* position,
                           uint32_t faceCount, uint32_t vertexCount, uint32_t ringMask, uint32_t ringEntries,
                           uint32_t* next, const uint32_t* degree) {
    const uint32_t* visit = vertices_.begin;
    const uint32_t groups = count(vertices_) / kGroup;
    renew(rows_, groups + 1);
    uint64_t total = 0;
    rows_.begin[0] = 0;
    for (uint32_t g = 0; g < groups; ++g) {
        uint32_t height = 0;
        for (uint32_t k = 0; k < kGroup; ++k) height = std::max(height, degree[visit[kGroup * g + k]]);
        total += uint64_t(kGroup) * height;
        if (total > kNone) return false;
        rows_.begin[g + 1] = uint32_t(total);
        bool run = true;
        for (uint32_t k = 1; k < kGroup; ++k) run = run && visit[kGroup * g + k] == visit[kGroup * g] + k;
        if (run) rows_.begin[g] |= NormalPlan::kRun;
    }
    renew(slots, uint32_t(total));
    std::fill(slots.begin, slots.end, Slot(2 * ringEntries));
    const auto top = [&](uint32_t g) { return rows_.begin[g] & ~NormalPlan::kRun; };
    for (uint32_t e = 0; e < vertexCount; ++e) next[visit[e]] = top(e / kGroup) + e % kGroup;
    for (uint32_t f = 0; f < faceCount; ++f) {
        const Slot slot = Slot(2 * ((position ? position[f] : f) & ringMask));
        for (int j = 0; j < 3; ++j) {
            uint32_t& at = next[faces[3 * size_t(f) + j]];
            slots.begin[at] = slot;
            at += kGroup;
        }
    }
    // The last group's spare lanes repeat its last vertex, column and all.
    const uint32_t g = groups - 1, from = (vertexCount - 1) % kGroup;
    for (uint32_t k = vertexCount - kGroup * g; k < kGroup; ++k)
        for (uint32_t r = top(g); r < rows_.begin[g + 1]; r += kGroup) slots.begin[r + k] = slots.begin[r + from];
    return true;
}
