#include "renderer.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <stb_easy_font.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "errors.h"

namespace {
constexpr int kSamples = 4;
constexpr float kFieldOfView = 30.0f;  // degrees, vertical
constexpr float kBackground[3] = {0.07f, 0.08f, 0.10f};
constexpr float kCurveColour[3] = {1.0f, 0.62f, 0.18f};
constexpr float kParticleColour[3] = {0.45f, 0.8f, 1.0f};
constexpr float kPlainMeshColour[3] = {0.72f, 0.76f, 0.82f};

template <class Fn>
Fn glFunction(const char* name) {
    auto address = reinterpret_cast<Fn>(eglGetProcAddress(name));
    if (!address) throw RunError(std::string("OpenGL function ") + name + " is missing");
    return address;
}

struct Vec {
    double x, y, z;
};
Vec sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec unit(Vec a) {
    const double l = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    return l > 0 ? Vec{a.x / l, a.y / l, a.z / l} : a;
}

// Area-weighted vertex normals, for a mesh handed over without normals.
std::vector<Vec3> shadingNormals(const Scene& scene) {
    if (scene.normals.size() == scene.vertices.size()) return scene.normals;
    std::vector<Vec> sums(scene.vertices.size(), Vec{0, 0, 0});
    auto at = [&scene](uint32_t i) {
        const Vec3& v = scene.vertices[i];
        return Vec{v.x, v.y, v.z};
    };
    for (size_t f = 0; f + 2 < scene.faces.size(); f += 3) {
        const uint32_t a = scene.faces[f], b = scene.faces[f + 1], c = scene.faces[f + 2];
        if (std::max({a, b, c}) >= scene.vertices.size()) continue;
        const Vec n = cross(sub(at(b), at(a)), sub(at(c), at(a)));
        for (uint32_t i : {a, b, c}) sums[i] = {sums[i].x + n.x, sums[i].y + n.y, sums[i].z + n.z};
    }
    std::vector<Vec3> normals;
    for (const Vec& s : sums) {
        const Vec n = unit(s);
        normals.push_back(Vec3{float(n.x), float(n.y), float(n.z)});
    }
    return normals;
}
}  // namespace

struct Renderer::Context {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    GLuint framebuffers[2] = {0, 0};   // multisampled, resolved
    GLuint renderbuffers[3] = {0, 0, 0};  // colour and depth (multisampled), colour (resolved)
    GLuint checker = 0;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;

    ~Context() {
        if (context != EGL_NO_CONTEXT) {
            if (deleteFramebuffers) deleteFramebuffers(2, framebuffers);
            if (deleteRenderbuffers) deleteRenderbuffers(3, renderbuffers);
            if (checker) glDeleteTextures(1, &checker);
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

    // A two-tone checker that makes twisting and stretching of the surface visible.
    void checkerTexture() {
        constexpr int kSize = 64, kCell = 8;
        std::vector<uint8_t> texels;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const bool light = ((x / kCell) + (y / kCell)) % 2 == 0;
                const uint8_t rgb[3] = {uint8_t(light ? 215 : 120), uint8_t(light ? 220 : 135),
                                        uint8_t(light ? 230 : 170)};
                texels.insert(texels.end(), rgb, rgb + 3);
            }
        glGenTextures(1, &checker);
        glBindTexture(GL_TEXTURE_2D, checker);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, kSize, kSize, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
};

Renderer::Renderer(int width, int height) : context_(std::make_unique<Context>()), width_(width), height_(height) {
    context_->open();
    context_->framebuffer(width, height);
    context_->checkerTexture();
}

Renderer::~Renderer() = default;

void Renderer::require(const std::string&) {}

void Renderer::frame(const Bounds& bounds) {
    Vec centre{0, 0, 0};
    double radius = 1.0;
    if (!bounds.empty) {
        centre = {(double(bounds.min.x) + bounds.max.x) / 2, (double(bounds.min.y) + bounds.max.y) / 2,
                  (double(bounds.min.z) + bounds.max.z) / 2};
        radius = std::max(1e-3, double(bounds.radius));
    }
    // Far enough that the bounding sphere fits the narrower side, with room
    // for data that the effects move outwards.
    const double aspect = double(width_) / height_;
    const double halfAngle = kFieldOfView * 0.5 * 3.14159265358979 / 180.0;
    const double fit = std::sin(std::min(halfAngle, std::atan(std::tan(halfAngle) * aspect)));
    const double distance = 1.4 * radius / fit;
    const Vec direction = unit(Vec{0.45, 0.35, 1.0});
    const Vec eye{centre.x + direction.x * distance, centre.y + direction.y * distance,
                  centre.z + direction.z * distance};
    eye_[0] = float(eye.x), eye_[1] = float(eye.y), eye_[2] = float(eye.z);
    target_[0] = float(centre.x), target_[1] = float(centre.y), target_[2] = float(centre.z);
    near_ = float(std::max(distance - 4 * radius, distance * 0.02));
    far_ = float(distance + 6 * radius);
}

namespace {
void loadCamera(const float* eye, const float* target, float nearPlane, float farPlane, int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double top = nearPlane * std::tan(kFieldOfView * 0.5 * 3.14159265358979 / 180.0);
    const double right = top * width / height;
    glFrustum(-right, right, -top, top, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The light sits in eye space: above, left and behind the camera.
    const GLfloat light[4] = {-0.5f, 0.7f, 0.6f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    const Vec f = unit(sub(Vec{target[0], target[1], target[2]}, Vec{eye[0], eye[1], eye[2]}));
    const Vec s = unit(cross(f, Vec{0, 1, 0}));
    const Vec u = cross(s, f);
    const GLfloat view[16] = {float(s.x), float(u.x), float(-f.x), 0, float(s.y), float(u.y), float(-f.y), 0,
                              float(s.z), float(u.z), float(-f.z), 0, 0, 0, 0, 1};
    glMultMatrixf(view);
    glTranslatef(-eye[0], -eye[1], -eye[2]);
}

void drawMesh(const Scene& scene, GLuint checker) {
    const std::vector<Vec3> normals = shadingNormals(scene);
    const bool textured = !scene.uvs.empty() && scene.uvFaces.size() >= scene.faces.size();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    glEnable(GL_COLOR_MATERIAL);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    const GLfloat ambient[4] = {0.22f, 0.22f, 0.25f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, checker);
        glColor3f(1.0f, 1.0f, 1.0f);
    } else {
        glColor3fv(kPlainMeshColour);
    }
    glBegin(GL_TRIANGLES);
    for (size_t k = 0; k + 2 < scene.faces.size(); k += 3) {
        const uint32_t a = scene.faces[k], b = scene.faces[k + 1], c = scene.faces[k + 2];
        if (std::max({a, b, c}) >= scene.vertices.size()) continue;
        for (size_t corner = k; corner < k + 3; ++corner) {
            const uint32_t v = scene.faces[corner];
            if (textured && scene.uvFaces[corner] < scene.uvs.size()) {
                const UV& uv = scene.uvs[scene.uvFaces[corner]];
                glTexCoord2f(uv.u * 4.0f, uv.v * 2.0f);
            }
            glNormal3f(normals[v].x, normals[v].y, normals[v].z);
            glVertex3f(scene.vertices[v].x, scene.vertices[v].y, scene.vertices[v].z);
        }
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
}

void drawCurvesAndParticles(const Scene& scene) {
    glLineWidth(2.0f);
    glColor3fv(kCurveColour);
    for (const SceneCurve& curve : scene.curves) {
        glBegin(curve.closed ? GL_LINE_LOOP : GL_LINE_STRIP);
        for (const Vec3& p : curve.points) glVertex3f(p.x, p.y, p.z);
        glEnd();
    }
    glPointSize(2.5f);
    glColor3fv(kParticleColour);
    glBegin(GL_POINTS);
    for (const Particle& p : scene.particles) glVertex3f(p.position.x, p.position.y, p.position.z);
    glEnd();
}

void drawLabel(const std::string& text, int width, int height) {
    if (text.empty()) return;
    constexpr float kScale = 1.5f;
    std::vector<char> vertices(text.size() * 300 * 4);  // room for the widest glyphs
    std::string copy = text;
    unsigned char colour[4] = {235, 235, 235, 255};
    const int quads = stb_easy_font_print(0, 0, copy.data(), colour, vertices.data(), int(vertices.size()));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(8.0f, 8.0f, 0.0f);
    glScalef(kScale, kScale, 1.0f);
    glColor3ub(colour[0], colour[1], colour[2]);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 16, vertices.data());
    glDrawArrays(GL_QUADS, 0, quads * 4);
    glDisableClientState(GL_VERTEX_ARRAY);
}
}  // namespace

Image Renderer::render(const Scene& scene, const std::function<void()>& gizmos, const std::string& label) {
    Context& c = *context_;
    c.bindFramebuffer(GL_FRAMEBUFFER, c.framebuffers[0]);
    glViewport(0, 0, width_, height_);
    glEnable(GL_MULTISAMPLE);
    glClearColor(kBackground[0], kBackground[1], kBackground[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    loadCamera(eye_, target_, near_, far_, width_, height_);
    if (scene.hasMesh) drawMesh(scene, c.checker);
    drawCurvesAndParticles(scene);
    // Gizmos stay visible through the data, in the colours the effect sets.
    glDisable(GL_DEPTH_TEST);
    glLineWidth(2.5f);
    glColor3f(1.0f, 1.0f, 1.0f);
    if (gizmos) gizmos();
    drawLabel(label, width_, height_);

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
