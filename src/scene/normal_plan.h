// What the normal rebuild keeps of a mesh's faces from one frame to the
// next. A host hands the same faces frame after frame; from them alone
// follow the order in which the faces' weighted normals are computed, the
// order in which the vertices are finished, and each vertex's faces in face
// order. With them the rebuild sums every vertex's normal in registers,
// reading its faces' weighted normals back from a small ring, instead of
// adding each face's normal to its corners in memory one after the other.
#pragma once

#include <cstdint>

#include "fx/abi.h"

// The rebuild's route through one mesh's faces. The faces' weighted normals
// are computed chunk by chunk in the order of `faces`, each into its slot of
// the ring; after each chunk the vertices whose last face it held are
// finished, kGroup at a time: each adds its faces' normals, taken from the
// ring in face order, and is normalised.
struct NormalPlan {
    static constexpr uint32_t kChunk = 256;  // faces computed before the vertices they finish
    static constexpr uint32_t kGroup = 8;    // vertices finished together
    // In finished[c]: chunk c's points are read one float at a time. It names
    // the last vertex (a wider read would pass the end of the array) or is
    // the last chunk (whose lanes past the last face repeat it).
    static constexpr uint32_t kNarrowChunk = 0x80000000u;
    static constexpr uint32_t kRun = 1;  // rows are multiples of kGroup: the low bits are free

    const uint32_t* faces;  // the corners in computing order; null: the mesh's own
    uint32_t faceCount;
    uint32_t chunkCount;
    const uint32_t* finished;  // per chunk, the groups finished once it is computed, counted from the start
    // Group g is the vertices vertices[kGroup g + k], k < kGroup (the last
    // group repeats its last vertex to fill up). Its slots are rows of kGroup,
    // slots[rows[g]] to slots[rows[g + 1]]: column k lists vertex k's faces in
    // face order, a face twice when it names the vertex twice, and then the
    // zero slot, whose weighted normal is (0, 0, 0), down to the last row. A
    // slot is a ring offset in units of 8 bytes, 16 bits wide when the ring is
    // small enough (shortSlots; slots is then null), 32 otherwise. kRun in
    // rows[g] marks a group of vertices that follow one another (v, v + 1,
    // ...): their normals are one block of memory.
    const uint32_t* rows;
    const uint32_t* slots;
    const uint16_t* shortSlots;
    const uint32_t* vertices;
    uint32_t ringMask;  // the face in computing position p has ring entry p & ringMask
    float* ring;        // 4 floats per entry, 64-byte aligned, the zero slot's entry last
};

// Builds the plan for a mesh's faces and keeps it until told they changed.
// The effect that owns the mesh copy owns it.
class KeptNormalPlan {
public:
    KeptNormalPlan() = default;
    KeptNormalPlan(const KeptNormalPlan&) = delete;
    KeptNormalPlan& operator=(const KeptNormalPlan&) = delete;
    ~KeptNormalPlan() { release(); }

    // The faces may have changed since the last call of planFor. A plan that
    // no second frame used makes the next one wait for faces seen twice: a
    // host whose faces change every frame pays for no plan.
    void forget();
    // The plan for these faces: kept, or built (at once, or when the faces come
    // a second time unchanged). Null when the rebuild takes the faces in face
    // order: no plan yet, an index that names no vertex, or an allocation
    // refused (the plan is then left unbuilt, never half).
    const NormalPlan* planFor(const uint32_t* faces, uint32_t faceCount, uint32_t vertexCount);
    // Frees every array.
    void release();

private:
    bool build(const uint32_t* faces, uint32_t faceCount, uint32_t vertexCount);
    static void bounds(const uint32_t* order, uint32_t faceCount, uint32_t vertexCount, uint32_t* first,
                       uint32_t* last);
    uint32_t sequence(const uint32_t* order, uint32_t faceCount, uint32_t vertexCount, const uint32_t* first,
                      uint32_t* last, const uint32_t* degree);
    template <class Slot>
    bool place(HostVector<Slot>& slots, const uint32_t* faces, const uint32_t* position, uint32_t faceCount,
               uint32_t vertexCount, uint32_t ringMask, uint32_t ringEntries, uint32_t* next, const uint32_t* degree);

    // refused: these faces name a vertex the mesh lacks, or are too many to lay out.
    enum class State { unseen, seen, built, refused };
    State state_ = State::unseen;
    bool eager_ = true, reused_ = false;
    uint32_t faceCount_ = 0, vertexCount_ = 0;
    NormalPlan plan_{};
    HostVector<uint32_t> order_{}, finished_{}, rows_{}, slots_{}, vertices_{};
    HostVector<uint16_t> shortSlots_{};
    HostVector<float> ring_{};
};
