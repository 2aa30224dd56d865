#include "renderer.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

#include "kit/errors.h"

namespace {
constexpr int kSamples = 4;

template <class Fn>
Fn glFunction(const char* name) {
    auto address = reinterpret_cast<Fn>(eglGetProcAddress(name));
    if (!address) throw RunError(std::string("OpenGL function ") + name + " is missing");
    return address;
}
}  // namespace


struct Renderer::Context {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    GLuint framebuffers[2] = {0, 0};   // multisampled, resolved
    GLuint renderbuffers[3] = {0, 0, 0};  // colour and depth (multisampled), colour (resolved)
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;

    ~Context() {
        if (context != EGL_NO_CONTEXT) {
            if (deleteFramebuffers) deleteFramebuffers(2, framebuffers);
            if (deleteRenderbuffers) deleteRenderbuffers(3, renderbuffers);
            eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            eglDestroyContext(display, context);
        }
        if (display != EGL_NO_DISPLAY) eglTerminate(display);
    }

    void open() {
        auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (!getPlatformDisplay) throw RunError("EGL has no eglGetPlatformDisplayEXT");
        display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0, minor = 0;
        if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor))
            throw RunError("cannot open Mesa's surfaceless EGL display");
        if (!eglBindAPI(EGL_OPENGL_API)) throw RunError("EGL cannot bind desktop OpenGL");
        const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                     EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
        context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
        if (context == EGL_NO_CONTEXT) throw RunError("cannot create an OpenGL compatibility context");
        if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
            throw RunError("cannot make the OpenGL context current");
    }

    void framebuffer(int width, int height) {
        auto genFramebuffers = glFunction<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
        auto genRenderbuffers = glFunction<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers");
        auto bindRenderbuffer = glFunction<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
        auto storage = glFunction<PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC>("glRenderbufferStorageMultisample");
        auto attach = glFunction<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
        auto status = glFunction<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus");
        bindFramebuffer = glFunction<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
        blitFramebuffer = glFunction<PFNGLBLITFRAMEBUFFERPROC>("glBlitFramebuffer");
        deleteFramebuffers = glFunction<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers");
        deleteRenderbuffers = glFunction<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers");

        genFramebuffers(2, framebuffers);
        genRenderbuffers(3, renderbuffers);
        const struct {
            GLuint framebuffer, renderbuffer;
            GLsizei samples;
            GLenum format, attachment;
        } buffers[3] = {
            {framebuffers[0], renderbuffers[0], kSamples, GL_RGBA8, GL_COLOR_ATTACHMENT0},
            {framebuffers[0], renderbuffers[1], kSamples, GL_DEPTH_COMPONENT24, GL_DEPTH_ATTACHMENT},
            {framebuffers[1], renderbuffers[2], 0, GL_RGBA8, GL_COLOR_ATTACHMENT0},
        };
        for (const auto& b : buffers) {
            bindRenderbuffer(GL_RENDERBUFFER, b.renderbuffer);
            storage(GL_RENDERBUFFER, b.samples, b.format, width, height);
            bindFramebuffer(GL_FRAMEBUFFER, b.framebuffer);
            attach(GL_FRAMEBUFFER, b.attachment, GL_RENDERBUFFER, b.renderbuffer);
        }
        for (GLuint fb : framebuffers) {
            bindFramebuffer(GL_FRAMEBUFFER, fb);
            if (status(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
                throw RunError("the offscreen framebuffer is incomplete");
        }
    }
};

Renderer::Renderer(int width, int height) : context_(std::make_unique<Context>()), width_(width), height_(height) {
    context_->open();
    context_->framebuffer(width, height);
    drawer_ = std::make_unique<SceneDrawer>();
}

Renderer::~Renderer() = default;

void Renderer::require(const std::string&) {}

Image Renderer::render(const Scene& scene, const std::function<void()>& gizmos, const std::string& label) {
    Context& c = *context_;
    c.bindFramebuffer(GL_FRAMEBUFFER, c.framebuffers[0]);
    drawer_->draw(scene, camera_, 0, 0, width_, height_, DrawOptions{}, gizmos, label);

    c.bindFramebuffer(GL_READ_FRAMEBUFFER, c.framebuffers[0]);
    c.bindFramebuffer(GL_DRAW_FRAMEBUFFER, c.framebuffers[1]);
    c.blitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    c.bindFramebuffer(GL_READ_FRAMEBUFFER, c.framebuffers[1]);
    std::vector<uint8_t> rgba(size_t(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    if (glGetError() != GL_NO_ERROR) throw RunError("OpenGL reported an error while rendering");
    Image image{width_, height_, std::vector<uint8_t>(size_t(width_) * height_ * 3)};
    for (int y = 0; y < height_; ++y)  // OpenGL's rows run bottom to top
        for (int x = 0; x < width_; ++x)
            for (int k = 0; k < 3; ++k)
                image.rgb[(size_t(y) * width_ + x) * 3 + k] = rgba[(size_t(height_ - 1 - y) * width_ + x) * 4 + k];
    return image;
}
