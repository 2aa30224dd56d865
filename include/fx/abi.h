// The binary interface between generic.fx and its host.
//
// The host is a 32-bit Windows program built with Microsoft's compiler, so
// every table below keeps Microsoft's slot numbering on every compiler:
// no class declares a C++ virtual destructor (GCC and Clang would lay it out
// as two entries), unused host slots are named placeholders, and the records
// keep the host's 32-bit layout (checked at the end of this file).
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && defined(__i386__)
#define FX_THISCALL __thiscall
#define FX_CDECL __cdecl
#else
#define FX_THISCALL
#define FX_CDECL
#endif

// ---------------------------------------------------------------- records

struct Vec3 {
    float x, y, z;
};

struct UV {
    float u, v;
};

// The array layout in which every array crosses the boundary.
// A null begin is an empty array, whatever the other pointers hold.
template <class T>
struct HostVector {
    uint32_t tag;
    T* begin;
    T* end;
    T* capacityEnd;
};

struct Particle {
    Vec3 position;
    uint32_t aux0;  // host words, carried through unchanged
    uint32_t aux1;
};

struct ParticleSet {
    HostVector<Particle>* particles;  // null: no particle array
};

struct Curve {
    HostVector<Vec3> points;
    HostVector<float> segmentLengths;  // entry i: point i to i+1; last: closing distance
    bool closed;
    uint8_t unused[3];
    float length;
};

struct Spline {
    HostVector<Curve>* curves;  // null: no curve array
};

constexpr uint32_t kNoDisplayList = 0xFFFFFFFFu;

struct Mesh {
    HostVector<Vec3>* vertices;
    HostVector<Vec3>* normals;       // null: the mesh carries no normals
    HostVector<uint32_t>* faces;     // three vertex indices per triangle
    HostVector<uint32_t>* uvFaces;   // three uv indices per triangle, only with uvs
    HostVector<UV>* uvs;
    uint32_t* faceFlags;             // faceCount / 10 + 1 words, never interpreted
    uint32_t displayList;            // kNoDisplayList: none
};

// ------------------------------------------------------ host interfaces

// The host's parameter interface: the library calls only `add` (slot 6).
class FxParamHost {
public:
    virtual void FX_THISCALL unused0() {}
    virtual void FX_THISCALL unused1() {}
    virtual void FX_THISCALL unused2() {}
    virtual void FX_THISCALL unused3() {}
    virtual void FX_THISCALL unused4() {}
    virtual void FX_THISCALL unused5() {}
    // The host copies the name during the call; the float lives in the effect.
    virtual void FX_THISCALL add(const char* name, float* value) = 0;

protected:
    ~FxParamHost() = default;
};

// The host's data interface, called only during process.
class FxHostData {
public:
    virtual void FX_THISCALL unused0() {}
    virtual void FX_THISCALL unused1() {}
    virtual void FX_THISCALL unused2() {}
    virtual void FX_THISCALL unused3() {}
    virtual void FX_THISCALL unused4() {}
    virtual void FX_THISCALL unused5() {}
    virtual void FX_THISCALL unused6() {}
    virtual void FX_THISCALL unused7() {}
    virtual void FX_THISCALL unused8() {}
    virtual void FX_THISCALL unused9() {}
    virtual bool FX_THISCALL hasMesh(bool exclusive) = 0;           // 10
    virtual void FX_THISCALL setMesh(Mesh* mesh) = 0;              // 11
    virtual void FX_THISCALL unused12() {}
    virtual Mesh* FX_THISCALL getMesh() = 0;                       // 13
    virtual void FX_THISCALL unused14() {}
    virtual void FX_THISCALL unused15() {}
    virtual bool FX_THISCALL hasSpline(bool exclusive) = 0;         // 16
    virtual void FX_THISCALL setSpline(Spline* spline) = 0;        // 17
    virtual void FX_THISCALL unused18() {}
    virtual Spline* FX_THISCALL getSpline() = 0;                   // 19
    virtual void FX_THISCALL unused20() {}
    virtual void FX_THISCALL unused21() {}
    virtual bool FX_THISCALL hasParticles(bool exclusive) = 0;      // 22
    virtual void FX_THISCALL setParticles(ParticleSet* set) = 0;   // 23
    virtual void FX_THISCALL unused24() {}
    virtual ParticleSet* FX_THISCALL getParticles() = 0;           // 25

protected:
    ~FxHostData() = default;
};

// ------------------------------------------------------------ the effect

// Seventeen single slots, in the host's order. Slot 0 is Microsoft's scalar
// deleting destructor: bit 0 of flags also frees the memory; it returns the
// object's address.
class FxEffect {
public:
    virtual void* FX_THISCALL scalarDeletingDestructor(unsigned flags) = 0;  // 0
    virtual bool FX_THISCALL init(uint32_t, uint32_t);                       // 1
    virtual bool FX_THISCALL start(uint32_t);                                // 2
    virtual void FX_THISCALL reserved3(uint32_t);                            // 3
    virtual void FX_THISCALL update(float time);                             // 4
    virtual bool FX_THISCALL process(FxHostData* host);                      // 5
    virtual bool FX_THISCALL draw();                                         // 6
    virtual float FX_THISCALL reserved7();                                   // 7
    virtual bool FX_THISCALL reserved8();                                    // 8
    virtual void FX_THISCALL reserved9(uint32_t, uint32_t);                  // 9
    virtual void FX_THISCALL reserved10(uint32_t);                           // 10
    virtual void FX_THISCALL registerParams(FxParamHost* host);              // 11
    virtual const char* FX_THISCALL description() = 0;                       // 12
    virtual const char* FX_THISCALL author() = 0;                            // 13
    virtual int32_t FX_THISCALL reserved14() = 0;                            // 14
    virtual int32_t FX_THISCALL reserved15();                                // 15
    virtual bool FX_THISCALL reserved16(uint32_t);                           // 16

    float hostField1;     // read by the host only
    uint32_t hostField2;  // read by the host only

protected:
    FxEffect();
    ~FxEffect() = default;  // never deleted through this type: slot 0 does it
};

constexpr int kFxEffectSlots = 17;

// ------------------------------------------------------------ exports

extern "C" {
typedef const char* (FX_CDECL* FxLibInfoFn)();
typedef FxEffect* (FX_CDECL* FxCreateFn)(int index, char* name);
typedef void (FX_CDECL* FxDeleteFn)(FxEffect* effect);
}

// ----------------------------------------------------- 32-bit layouts

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(Vec3) == 12 && offsetof(Vec3, z) == 8);
static_assert(sizeof(UV) == 8);
static_assert(sizeof(HostVector<Vec3>) == 16 && offsetof(HostVector<Vec3>, begin) == 4 &&
              offsetof(HostVector<Vec3>, end) == 8 &&
              offsetof(HostVector<Vec3>, capacityEnd) == 12);
static_assert(sizeof(Particle) == 20 && offsetof(Particle, aux0) == 12 &&
              offsetof(Particle, aux1) == 16);
static_assert(sizeof(ParticleSet) == 4 && sizeof(Spline) == 4);
static_assert(sizeof(Curve) == 40 && offsetof(Curve, segmentLengths) == 16 &&
              offsetof(Curve, closed) == 32 && offsetof(Curve, length) == 36);
static_assert(sizeof(Mesh) == 28 && offsetof(Mesh, normals) == 4 && offsetof(Mesh, faces) == 8 &&
              offsetof(Mesh, uvFaces) == 12 && offsetof(Mesh, uvs) == 16 &&
              offsetof(Mesh, faceFlags) == 20 && offsetof(Mesh, displayList) == 24);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(sizeof(FxEffect) == 12 && offsetof(FxEffect, hostField1) == 4 &&
              offsetof(FxEffect, hostField2) == 8);
#pragma GCC diagnostic pop
#endif
