// Headless OpenGL through EGL on Mesa's surfaceless platform: a legacy
// (compatibility) context, so that the effects' immediate-mode gizmos reach a
// real driver, drawing into an offscreen multisampled framebuffer.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "camera.h"
#include "image.h"
#include "kit/scene.h"
#include "scene_drawing.h"

class Renderer {
public:
    // Throws UsageError, naming `what` asked for pictures, in the builds
    // without OpenGL (Win32, Linux 32-bit), which write OBJ frames only.
    static void require(const std::string& what);

    Renderer(int width, int height);  // throws RunError (UsageError without OpenGL)
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    Camera& camera() { return camera_; }
    double aspect() const { return double(width_) / height_; }

    // The scene as SceneDrawer draws it, through camera().
    Image render(const Scene& scene, const std::function<void()>& gizmos, const std::string& label);

private:
    struct Context;
    std::unique_ptr<Context> context_;
    std::unique_ptr<SceneDrawer> drawer_;
    int width_, height_;
    Camera camera_;
};
