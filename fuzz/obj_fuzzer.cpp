// fxhost's scene reader under libFuzzer: any bytes give either a scene that
// keeps the records' invariants or a clear error, never a crash.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "kit/errors.h"
#include "kit/scene.h"
#include "obj_io.h"

namespace {
[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "obj_fuzzer: %s\n", what);
    std::abort();
}

// One in-memory file for the whole run: the reader takes a path.
const std::string& scratchPath() {
    static const std::string path = [] {
        const int fd = memfd_create("scene.obj", 0);
        if (fd < 0) fail("no memory file");
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

void write(const uint8_t* data, size_t size) {
    const int fd = std::stoi(scratchPath().substr(14));
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) fail("cannot write the input");
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
    write(data, size);
    try {
        Scene scene = loadObj(scratchPath());
        checkInvariants(scene);
    } catch (const RunError& e) {
        if (std::string(e.what()).empty()) fail("an error without a message");
    }
    return 0;
}
