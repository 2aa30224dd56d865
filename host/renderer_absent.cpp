// The renderer of the builds without OpenGL (Win32, Linux 32-bit): whatever
// asks for pictures is refused before anything starts.
#include "kit/errors.h"
#include "renderer.h"

struct Renderer::Context {};

void Renderer::require(const std::string& what) {
    throw UsageError(what + " needs pictures, and this fxhost is built without OpenGL: it writes OBJ frames only");
}

Renderer::Renderer(int width, int height) : width_(width), height_(height) { require("rendering"); }

Renderer::~Renderer() = default;

// Never made: its constructor needs a context.
SceneDrawer::~SceneDrawer() = default;

Image Renderer::render(const Scene&, const std::function<void()>&, const std::string&) { return {}; }
