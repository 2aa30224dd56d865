// A whole run as one animated glTF 2.0 file: the scene as loaded is the base
// mesh (triangles with normals and uvs, the curves as lines, the particles as
// points) and every frame is one morph target holding how far each point
// moved from there; one weights animation shows frame n at time n / fps.
#pragma once

#include <memory>
#include <string>

#include "kit/scene.h"

// True for a path naming a .glb or .gltf file (any case).
bool isGltfPath(const std::string& path);

class GltfAnimation {
public:
    GltfAnimation(const Scene& rest, double fps);
    ~GltfAnimation();
    GltfAnimation(const GltfAnimation&) = delete;
    GltfAnimation& operator=(const GltfAnimation&) = delete;

    // Frames come in order. Throws RunError when the frame's counts or faces
    // differ from the scene's (one topology serves the whole file) or when
    // the file would outgrow glTF's 4 GiB.
    void addFrame(const Scene& frame);

    // .glb: binary; .gltf: JSON with the data embedded. Written aside and
    // renamed, so the file appears whole. Throws RunError.
    void write(const std::string& path);

private:
    struct Model;
    std::unique_ptr<Model> model_;
};
