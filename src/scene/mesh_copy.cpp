#include "scene/mesh_copy.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "scene/geometry_rules.h"
#include "scene/gl.h"
#include "scene/vec_math.h"

namespace {
template <class T>
HostVector<T>& holder(HostVector<T>*& v) {
    if (!v) v = newHostVector<T>();
    return *v;
}

void freeFaceFlags(Mesh& mesh) {
    ::operator delete(mesh.faceFlags);
    mesh.faceFlags = nullptr;
}

template <class T>
void copyLeading(HostVector<T>& to, const HostVector<T>* from, uint32_t n) {
    if (n) std::memcpy(static_cast<void*>(to.begin), from->begin, sizeof(T) * n);
}

// copyLeading, but reading rather than writing the entries `to` holds
// already, as a host's faces are frame after frame. Answers whether it held
// them; never for entries that are its own (the host may have written them).
bool copyUnlessHeld(HostVector<uint32_t>& to, const HostVector<uint32_t>* from, uint32_t n) {
    if (n == 0) return true;
    if (from->begin == to.begin) return false;
    if (std::memcmp(to.begin, from->begin, sizeof(uint32_t) * n) == 0) return true;
    copyLeading(to, from, n);
    return false;
}
}  // namespace

void resize(Mesh& mesh, uint32_t vertexCount, uint32_t faces, uint32_t uvCount) {
    resize(holder(mesh.vertices), vertexCount);
    if (!mesh.faces || count(mesh.faces) != 3 * faces) {
        // Face flags start over only when the face count changes. The new words come first: a
        // failed allocation leaves the old ones in place.
        const uint32_t words = faceFlagWords(faces);
        uint32_t* flags = static_cast<uint32_t*>(::operator new(sizeof(uint32_t) * words));
        freeFaceFlags(mesh);
        mesh.faceFlags = flags;
        std::memset(mesh.faceFlags, 0xFF, sizeof(uint32_t) * words);
    }
    resize(holder(mesh.faces), 3 * faces, 0u);
    if (uvCount > 0) {
        resize(holder(mesh.uvs), uvCount);
        resize(holder(mesh.uvFaces), 3 * faces, 0u);
    } else {
        deleteHostVector(mesh.uvs);
        deleteHostVector(mesh.uvFaces);
    }
}

bool copyFrom(Mesh& mesh, const Mesh& source, bool copyVertices, bool copyFaces, bool copyFaceFlags,
              bool copyNormals, bool copyUVs) {
    const uint32_t vertexCount = (copyVertices || copyNormals) ? count(source.vertices) : count(mesh.vertices);
    const uint32_t faces = (copyFaces || copyFaceFlags) ? faceCount(source) : faceCount(mesh);
    const uint32_t uvCount = copyUVs ? count(source.uvs) : count(mesh.uvs);
    resize(mesh, vertexCount, faces, uvCount);

    if (copyVertices) copyLeading(*mesh.vertices, source.vertices, vertexCount);
    const bool facesKept = !copyFaces || copyUnlessHeld(*mesh.faces, source.faces, 3 * faces);
    if (copyFaceFlags && source.faceFlags)
        std::memcpy(mesh.faceFlags, source.faceFlags, sizeof(uint32_t) * faceFlagWords(faces));
    if (copyNormals) {
        if (source.normals) {
            resize(holder(mesh.normals), vertexCount);
            copyLeading(*mesh.normals, source.normals, std::min(vertexCount, count(source.normals)));
        } else {
            deleteHostVector(mesh.normals);
        }
    }
    if (copyUVs) {
        if (uvCount > 0) {
            copyLeading(*mesh.uvs, source.uvs, uvCount);
            copyLeading(*mesh.uvFaces, source.uvFaces, std::min(3 * faces, count(source.uvFaces)));
        } else {
            deleteHostVector(mesh.uvs);
            deleteHostVector(mesh.uvFaces);
        }
    }
    return facesKept;
}

namespace {
struct Corners {
    Vec3 a, b, c;
};

Corners corners(const Mesh& mesh, uint32_t face) {
    const uint32_t* f = mesh.faces->begin + 3 * face;
    const Vec3* v = mesh.vertices->begin;
    return {v[f[0]], v[f[1]], v[f[2]]};
}
}  // namespace

Vec3 faceNormal(const Mesh& mesh, uint32_t face, bool normalizeIt) {
    const Corners k = corners(mesh, face);
    Vec3 n = cross(difference(k.b, k.a), difference(k.c, k.a));
    if (normalizeIt) normalize(n);
    return n;
}

float faceArea(const Mesh& mesh, uint32_t face) {
    const Corners k = corners(mesh, face);
    const Vec3 e = difference(k.c, k.b);
    const float base = lengthSquared(e);
    if (base < 1e-6) return 0.0f;
    const float t = float(double(dot(difference(k.a, k.b), e)) / base);
    const Vec3 foot = sum(k.b, scaled(e, t));
    return float(0.5 * std::sqrt(double(lengthSquared(difference(foot, k.a))) * base));
}

void recomputeNormals(Mesh& mesh) {
    const uint32_t vertexCount = count(mesh.vertices);
    HostVector<Vec3>& normals = holder(mesh.normals);
    resize(normals, vertexCount);
    if (vertexCount == 0) return;
    Vec3* n = normals.begin;
    std::memset(static_cast<void*>(n), 0, sizeof(Vec3) * vertexCount);
    const GeometryRules& rules = geometryRules();
    if (const uint32_t faces = faceCount(mesh)) rules.addFaceNormals(mesh.vertices->begin, mesh.faces->begin, faces, n);
    rules.normalizeAll(n, vertexCount);
}

void recomputeNormals(Mesh& mesh, KeptNormalPlan& kept) {
    const uint32_t vertexCount = count(mesh.vertices), faces = faceCount(mesh);
    const NormalPlan* plan = vertexCount && faces ? kept.planFor(mesh.faces->begin, faces, vertexCount) : nullptr;
    if (!plan) return recomputeNormals(mesh);
    HostVector<Vec3>& normals = holder(mesh.normals);
    resize(normals, vertexCount);
    geometryRules().rebuildNormals(*plan, mesh.vertices->begin, mesh.faces->begin, normals.begin);
}

void release(Mesh& mesh) {
    if (mesh.displayList != kNoDisplayList) {
        glDeleteLists(mesh.displayList, 1);
        mesh.displayList = kNoDisplayList;
    }
    deleteHostVector(mesh.vertices);
    deleteHostVector(mesh.faces);
    freeFaceFlags(mesh);
    deleteHostVector(mesh.uvs);
    deleteHostVector(mesh.uvFaces);
    deleteHostVector(mesh.normals);
}
