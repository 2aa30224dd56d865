#include <cmath>

#include <gtest/gtest.h>

#include "scene/mesh_copy.h"
#include "test_host.h"
#include "effect_harness.h"

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
    // Vertex 4 is in no face; 5 to 7 only in a face without area.
    HostScene s;
    s.vertices = {{0, 0, 0}, {2, 0, 0}, {0, 1, 0}, {0, 0, 2}, {5, 5, 5}, {3, 0, 0}, {4, 0, 0}, {4, 0.0009f, 0}};
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
