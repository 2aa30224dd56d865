#include "scene_drawing.h"

#include <GL/gl.h>
#include <stb_easy_font.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace {
constexpr float kBackground[3] = {0.07f, 0.08f, 0.10f};
constexpr float kCurveColour[3] = {1.0f, 0.62f, 0.18f};
constexpr float kParticleColour[3] = {0.45f, 0.8f, 1.0f};
constexpr float kPlainMeshColour[3] = {0.72f, 0.76f, 0.82f};
constexpr float kWireColour[3] = {0.16f, 0.18f, 0.22f};
constexpr double kPi = 3.14159265358979323846;

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
    normals.reserve(sums.size());
    for (const Vec& s : sums) {
        const Vec n = unit(s);
        normals.push_back(Vec3{float(n.x), float(n.y), float(n.z)});
    }
    return normals;
}

void loadCamera(const Camera& camera, int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double nearPlane = camera.nearPlane();
    const double top = nearPlane * std::tan(camera.fieldOfView * 0.5 * kPi / 180.0);
    const double right = top * width / height;
    glFrustum(-right, right, -top, top, nearPlane, camera.farPlane());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The light sits in eye space: above, left and behind the camera.
    const GLfloat light[4] = {-0.5f, 0.7f, 0.6f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    const Camera::Basis b = camera.basis();
    const GLdouble view[16] = {b.right[0], b.up[0], -b.forward[0], 0, b.right[1], b.up[1], -b.forward[1], 0,
                               b.right[2], b.up[2], -b.forward[2], 0, 0, 0, 0, 1};
    glMultMatrixd(view);
    glTranslated(-b.eye[0], -b.eye[1], -b.eye[2]);
}

void drawMesh(const Scene& scene, const MeshCorners& corners, GLuint checker, bool wireframe) {
    const std::vector<Vec3> normals = shadingNormals(scene);
    std::vector<Vec3> positions, cornerNormals;
    std::vector<float> uvs;
    positions.reserve(corners.vertex.size());
    cornerNormals.reserve(corners.vertex.size());
    for (uint32_t v : corners.vertex) positions.push_back(scene.vertices[v]), cornerNormals.push_back(normals[v]);
    const bool textured = !corners.uv.empty();
    for (uint32_t t : corners.uv) {
        const UV uv = t < scene.uvs.size() ? scene.uvs[t] : UV{0, 0};
        uvs.insert(uvs.end(), {uv.u * 4.0f, uv.v * 2.0f});
    }
    const GLsizei count = GLsizei(corners.indices.size());
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, cornerNormals.data());
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
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, uvs.data());
        glColor3f(1.0f, 1.0f, 1.0f);
    } else {
        glColor3fv(kPlainMeshColour);
    }
    // The wires lie on the surface: push the surface back a little.
    if (wireframe) glEnable(GL_POLYGON_OFFSET_FILL), glPolygonOffset(1.0f, 1.0f);
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, corners.indices.data());
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    glDisableClientState(GL_NORMAL_ARRAY);
    if (wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glLineWidth(1.0f);
        glColor3fv(kWireColour);
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, corners.indices.data());
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
}

void drawCurves(const Scene& scene) {
    glLineWidth(2.0f);
    glColor3fv(kCurveColour);
    glEnableClientState(GL_VERTEX_ARRAY);
    for (const SceneCurve& curve : scene.curves) {
        glVertexPointer(3, GL_FLOAT, sizeof(Vec3), curve.points.data());
        glDrawArrays(curve.closed ? GL_LINE_LOOP : GL_LINE_STRIP, 0, GLsizei(curve.points.size()));
    }
    glDisableClientState(GL_VERTEX_ARRAY);
}

void drawParticles(const Scene& scene) {
    if (scene.particles.empty()) return;
    glPointSize(2.5f);
    glColor3fv(kParticleColour);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Particle), &scene.particles[0].position);
    glDrawArrays(GL_POINTS, 0, GLsizei(scene.particles.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
}

// The font has ASCII glyphs only: the multiplication sign of a factor's unit
// becomes an x, any other character outside ASCII a question mark.
std::string asciiLabel(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        const bool times = c == 0xC3 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x97;
        out += times ? 'x' : '?';
        while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) ++i;
    }
    return out;
}

void drawLabel(const std::string& text, int width, int height) {
    if (text.empty()) return;
    constexpr float kScale = 1.5f;
    std::string copy = asciiLabel(text);
    std::vector<char> vertices(copy.size() * 300 * 4);  // room for the widest glyphs
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

const MeshCorners& MeshCorners::of(const Scene& scene) {
    const bool textured = !scene.uvs.empty() && scene.uvFaces.size() >= scene.faces.size();
    const std::vector<uint32_t> noUvs;
    const std::vector<uint32_t>& uvFaces = textured ? scene.uvFaces : noUvs;
    if (scene.faces == faces_ && uvFaces == uvFaces_) return *this;
    faces_ = scene.faces;
    uvFaces_ = uvFaces;
    vertex.clear(), uv.clear(), indices.clear();
    std::unordered_map<uint64_t, uint32_t> seen;
    for (size_t k = 0; k + 2 < scene.faces.size(); k += 3) {
        if (std::max({scene.faces[k], scene.faces[k + 1], scene.faces[k + 2]}) >= scene.vertices.size()) continue;
        for (size_t corner = k; corner < k + 3; ++corner) {
            const uint32_t v = scene.faces[corner], t = textured ? uvFaces[corner] : 0;
            const auto [at, added] = seen.try_emplace(uint64_t(v) << 32 | t, uint32_t(vertex.size()));
            if (added) {
                vertex.push_back(v);
                if (textured) uv.push_back(t);
            }
            indices.push_back(at->second);
        }
    }
    return *this;
}

// A two-tone checker that makes twisting and stretching of the surface visible.
SceneDrawer::SceneDrawer() {
    constexpr int kSize = 64, kCell = 8;
    std::vector<uint8_t> texels;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const bool light = ((x / kCell) + (y / kCell)) % 2 == 0;
            const uint8_t rgb[3] = {uint8_t(light ? 215 : 120), uint8_t(light ? 220 : 135),
                                    uint8_t(light ? 230 : 170)};
            texels.insert(texels.end(), rgb, rgb + 3);
        }
    glGenTextures(1, &checker_);
    glBindTexture(GL_TEXTURE_2D, checker_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, kSize, kSize, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

SceneDrawer::~SceneDrawer() { glDeleteTextures(1, &checker_); }

void SceneDrawer::draw(const Scene& scene, const Camera& camera, int x, int y, int width, int height,
                       const DrawOptions& options, const std::function<void()>& gizmos, const std::string& label) {
    glViewport(x, y, width, height);
    glScissor(x, y, width, height);
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_MULTISAMPLE);
    glClearColor(kBackground[0], kBackground[1], kBackground[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    loadCamera(camera, width, height);
    if (scene.hasMesh && options.mesh) drawMesh(scene, corners_.of(scene), checker_, options.wireframe);
    if (options.curves) drawCurves(scene);
    if (options.particles) drawParticles(scene);
    // Gizmos stay visible through the data, in the colours the effect sets.
    glDisable(GL_DEPTH_TEST);
    glLineWidth(2.5f);
    glColor3f(1.0f, 1.0f, 1.0f);
    if (gizmos && options.gizmos) gizmos();
    drawLabel(label, width, height);
}
