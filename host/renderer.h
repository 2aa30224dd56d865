// Headless OpenGL through EGL on Mesa's surfaceless platform: a legacy
// (compatibility) context, so that the effects' immediate-mode gizmos reach a
// real driver, drawing into an offscreen multisampled framebuffer.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "image.h"
#include "scene.h"

class Renderer {
public:
    // Throws UsageError, naming `what` asked for pictures, in the builds
    // without OpenGL (Win32, Linux 32-bit), which write OBJ frames only.
    static void require(const std::string& what);

    Renderer(int width, int height);  // throws RunError (UsageError without OpenGL)
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // A fixed camera looking at these bounds from the front, above and right.
    void frame(const Bounds& bounds);

    // The scene shaded and lit (mesh), as lines (curves) and points
    // (particles); then `gizmos` draws on top, in world coordinates; then
    // the label in the top left corner.
    Image render(const Scene& scene, const std::function<void()>& gizmos, const std::string& label);

private:
    struct Context;
    std::unique_ptr<Context> context_;
    int width_, height_;
    float eye_[3] = {0, 0, 10}, target_[3] = {0, 0, 0};
    float near_ = 0.1f, far_ = 100.0f;
};
