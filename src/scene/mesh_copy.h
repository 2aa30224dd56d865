// The mesh working copy: the host's topology and uvs, vertices written by
// the point rule, normals rebuilt from the moved vertices.
#pragma once

#include "fx/abi.h"
#include "scene/host_vector.h"
#include "scene/normal_plan.h"

constexpr Mesh kEmptyMesh{nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, kNoDisplayList};

inline uint32_t faceCount(const Mesh& m) { return count(m.faces) / 3; }
inline uint32_t faceFlagWords(uint32_t faces) { return faces / 10 + 1; }

void resize(Mesh& mesh, uint32_t vertexCount, uint32_t faceCount, uint32_t uvCount);
// Answers whether the copy's faces kept their entries: false when it took
// other ones, or may have (the source's faces are the copy's own, which the
// host can write). A change of count is not counted: resize made it.
bool copyFrom(Mesh& mesh, const Mesh& source, bool copyVertices, bool copyFaces, bool copyFaceFlags,
              bool copyNormals, bool copyUVs);
Vec3 faceNormal(const Mesh& mesh, uint32_t face, bool normalize);
float faceArea(const Mesh& mesh, uint32_t face);
// Each face adds its area times its unnormalised normal; each sum is
// normalised once.
void recomputeNormals(Mesh& mesh);
// The same floats, along the plan `kept` holds for the copy's faces when it
// has one (it must be told when they change); in face order otherwise.
void recomputeNormals(Mesh& mesh, KeptNormalPlan& kept);
// Deletes a stored display list, then frees every array.
void release(Mesh& mesh);
