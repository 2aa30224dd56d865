// The scene as fxhost shows it, drawn into whatever OpenGL compatibility
// context is current: the headless renderer's and the viewer's window share it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "camera.h"
#include "kit/scene.h"

struct DrawOptions {
    bool mesh = true, curves = true, particles = true, gizmos = true, wireframe = false;
};

// The mesh's corners as indexed vertices: one per distinct pair of vertex and
// uv, kept while the faces stay the same (effects move vertices, not faces).
class MeshCorners {
public:
    const MeshCorners& of(const Scene& scene);
    std::vector<uint32_t> vertex, uv;  // per drawn vertex: its scene vertex and uv
    std::vector<uint32_t> indices;     // three per drawn triangle

private:
    std::vector<uint32_t> faces_, uvFaces_;
};

class SceneDrawer {
public:
    SceneDrawer();  // needs a current context
    ~SceneDrawer();
    SceneDrawer(const SceneDrawer&) = delete;
    SceneDrawer& operator=(const SceneDrawer&) = delete;

    // Into the viewport at (x, y), width x height pixels: the mesh shaded and
    // lit, the curves as lines, the particles as points; then `gizmos` on top
    // in world coordinates; then the label in the top left corner.
    void draw(const Scene& scene, const Camera& camera, int x, int y, int width, int height,
              const DrawOptions& options, const std::function<void()>& gizmos, const std::string& label);

private:
    unsigned checker_ = 0;
    MeshCorners corners_;
};
