// fxhost's scene reader under libFuzzer: any bytes give either a scene that
// keeps the records' invariants or a clear error, never a crash.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "kit/errors.h"
#include "memory_file.h"
#include "kit/scene.h"
#include "obj_io.h"

namespace {
[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "obj_fuzzer: %s\n", what);
    std::abort();
}

const MemoryFile& file() {
    static const MemoryFile memory("scene.obj");
    return memory;
}

void checkInvariants(Scene& scene) {
    const size_t vertices = scene.vertices.size();
    if (scene.faces.size() % 3 != 0) fail("faces are not triangles");
    for (uint32_t i : scene.faces)
        if (i >= vertices) fail("face index past the vertices");
    if (!scene.normals.empty() && scene.normals.size() != vertices) fail("normals not one per vertex");
    if (scene.uvs.empty() ? !scene.uvFaces.empty() : scene.uvFaces.size() != scene.faces.size())
        fail("uv faces without uvs, or not one per corner");
    for (uint32_t i : scene.uvFaces)
        if (i >= scene.uvs.size()) fail("uv face index past the uvs");
    // The records built from the scene must say the same, and writing it back must work.
    SceneRecords records(scene);
    if (Mesh* mesh = records.mesh()) {
        const HostVector<uint32_t>* faces = mesh->faces;
        const size_t n = faces && faces->begin ? size_t(faces->end - faces->begin) : 0;
        if (n != scene.faces.size()) fail("mesh record disagrees with the scene");
    }
    std::ostringstream out;
    writeObj(scene, out);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    file().write(data, size);
    try {
        Scene scene = loadObj(file().path());
        checkInvariants(scene);
    } catch (const RunError& e) {
        if (std::string(e.what()).empty()) fail("an error without a message");
    }
    return 0;
}
