#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "float_agreement.h"
#include "scene/batch_rules.h"
#include "scene/mesh_copy.h"
#include "scene/vec_math.h"
#include "test_host.h"
#include "vec_near.h"

TEST(MeshCopy, FaceNormalIsTwiceTheAreaAlongTheUnitNormal) {
    struct Case { Vec3 a, b, c, normal; float area; };
    const Case cases[] = {
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0.5f},
        {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, -1}, 0.5f},
        {{0, 0, 0}, {2, 0, 0}, {0, 3, 0}, {0, 0, 6}, 3.0f},
        // A base (b to c) shorter than 0.001 has no area; just above, it has.
        {{0, 0, 0}, {1, 0, 0}, {1, 0.0009f, 0}, {0, 0, 0.0009f}, 0.0f},
        {{0, 0, 0}, {1, 0, 0}, {1, 0.0011f, 0}, {0, 0, 0.0011f}, 0.00055f},
    };
    for (const Case& c : cases) {
        HostScene s;
        s.vertices = {c.a, c.b, c.c};
        s.faces = {0, 1, 2};
        s.publish();
        EXPECT_TRUE(near(faceNormal(s.mesh, 0, false), c.normal));
        EXPECT_TRUE(near(faceNormal(s.mesh, 0, true), {0, 0, c.normal.z > 0 ? 1.0f : -1.0f}));
        EXPECT_FLOAT_EQ(faceArea(s.mesh, 0), c.area);
    }
}

TEST(MeshCopy, NormalsSumAreaWeightedFaceNormalsAndNormaliseOnce) {
    // Faces of area 1 (normal +z) and 2 (normal +y) share vertices 0 and 1, which get 2 (0, 0, 1) + 8 (0, 1, 0).
    // Vertex 4 is in no face; 5 to 7 only in a face without area: its base squared is 0.0006² + 0.0008², the float
    // 1e-6f, just below 1e-6.
    HostScene s;
    s.vertices = {{0, 0, 0}, {2, 0, 0}, {0, 1, 0}, {0, 0, 2}, {5, 5, 5}, {0, 0, 1}, {0, 0, 0}, {0.0006f, 0.0008f, 0}};
    s.faces = {0, 1, 2, 0, 3, 1, 5, 6, 7};
    s.publish();
    Mesh copy = kEmptyMesh;
    copyFrom(copy, s.mesh, true, true, true, false, false);
    recomputeNormals(copy);
    ASSERT_EQ(count(copy.normals), 8u);
    const float y = float(8 / std::sqrt(68.0)), z = float(2 / std::sqrt(68.0));
    const Vec3 want[] = {{0, y, z}, {0, y, z}, {0, 0, 1}, {0, 1, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(near(copy.normals->begin[i], want[i])) << "vertex " << i;
    release(copy);
}

TEST(MeshCopy, FaceFlagsStartOverAsOnesOnlyWhenTheFaceCountChanges) {
    Mesh copy = kEmptyMesh;
    resize(copy, 3, 10, 0);  // 10 faces: 2 words
    EXPECT_EQ(copy.faceFlags[0] & copy.faceFlags[1], 0xFFFFFFFFu);
    EXPECT_EQ(copy.faces->begin[29], 0u);
    copy.faceFlags[0] = 0x12345678u;
    resize(copy, 5, 10, 4);
    EXPECT_EQ(copy.faceFlags[0], 0x12345678u);
    resize(copy, 5, 9, 4);
    EXPECT_EQ(copy.faceFlags[0], 0xFFFFFFFFu);
    release(copy);
}

namespace {
// The rebuild as first written: faceArea times faceNormal per face, summed per corner, normalised once.
std::vector<Vec3> straightforwardNormals(const Mesh& m) {
    std::vector<Vec3> n(count(m.vertices), Vec3{0, 0, 0});
    for (uint32_t i = 0; i < faceCount(m); ++i) {
        const Vec3 w = scaled(faceNormal(m, i, false), faceArea(m, i));
        for (int j = 0; j < 3; ++j) addTo(n[m.faces->begin[3 * i + j]], w);
    }
    for (Vec3& v : n) normalize(v);
    return n;
}
}  // namespace

// Random meshes mixing ordinary faces, bases near the 0.001 threshold, repeated corners and coordinates
// whose squares overflow: the rebuild, on every instruction set this processor runs, gives the
// straightforward floats bit for bit.
TEST(MeshCopy, NormalsMatchTheStraightforwardRebuildBitForBit) {
    for (InstructionSet set : {InstructionSet::sse2, InstructionSet::avx2, InstructionSet::avx512}) {
        const BatchRules* rules = batchRulesFor(set);
        if (!rules) continue;
        std::mt19937 random(7);
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        Agreement agreement;
        for (int round = 0; round < 40; ++round) {
            HostScene s;
            const uint32_t n = 30 + round * 10;
            for (uint32_t i = 0; i < n; ++i) {
                const float scale = i % 7 == 0 ? 1e-4f : i % 11 == 0 ? 3e19f : 10.0f;
                s.vertices.push_back({scale * unit(random), scale * unit(random), scale * unit(random)});
            }
            // A face whose base squared is the float 1e-6f, just below 1e-6.
            s.vertices[0] = {0, 0, 1};
            s.vertices[1] = {0, 0, 0};
            s.vertices[2] = {0.0006f, 0.0008f, 0};
            s.faces = {0, 1, 2};
            std::uniform_int_distribution<uint32_t> corner(3, n - 1);
            for (uint32_t i = 0; i < 3 * n + round % 8; ++i) {
                const uint32_t a = corner(random), b = i % 5 == 0 ? a : corner(random);
                s.faces.insert(s.faces.end(), {a, b, corner(random)});
            }
            s.publish();
            std::vector<Vec3> normals(n, Vec3{0, 0, 0});
            rules->addFaceNormals(s.vertices.data(), s.faces.data(), uint32_t(s.faces.size() / 3), normals.data());
            rules->normalizeAll(normals.data(), n);
            const std::vector<Vec3> want = straightforwardNormals(s.mesh);
            for (uint32_t i = 0; i < n; ++i) agreement.add(want[i], normals[i]);
        }
        EXPECT_EQ(agreement.identical, agreement.values) << "largest distance " << agreement.maxUlp << " ulp";
    }
}
