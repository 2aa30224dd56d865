#include "obj_io.h"

#include <tiny_obj_loader.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "atomic_file.h"
#include "input_file.h"
#include "kit/errors.h"
#include "kit/float_text.h"

namespace {
std::vector<std::string> tokens(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string t; in >> t;) out.push_back(t);
    return out;
}

// Calls f with each line of text, as getline reads them, without a closing '\r'.
template <class F>
void eachLine(const std::string& text, F f) {
    std::string line;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        line.assign(text, start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        f(line);
        start = end + 1;
    }
}

// What tinyobjloader lets through or reports without a line: numbers that
// are not finite floats (it reads nan as 0 and 1e39 as infinity), indices
// outside the file, faces that mix uvs and none.
// Only the lines the records depend on are looked at.
class Prescan {
public:
    explicit Prescan(std::string path) : path_(std::move(path)) {}

    void run(const std::string& text) {
        eachLine(text, [&](const std::string& line) {  // totals first: indices may point forward
            const auto t = tokens(line);
            if (t.empty()) return;
            if (t[0] == "v") ++total_[0];
            else if (t[0] == "vt") ++total_[1];
            else if (t[0] == "vn") ++total_[2];
        });
        long seen[3] = {0, 0, 0};
        line_ = 0;
        eachLine(text, [&](const std::string& line) {
            ++line_;
            const auto t = tokens(line);
            if (t.empty() || t[0][0] == '#') return;
            const std::string& key = t[0];
            if (key == "v" || key == "vn" || key == "vt") {
                const size_t needed = key == "vt" ? 1 : 3;
                if (t.size() < needed + 1) fail(key + " needs " + std::to_string(needed) + " numbers");
                float value = 0.0f;
                for (size_t k = 1; k < t.size(); ++k)
                    if (const std::string why = readFloat(t[k], value); !why.empty()) fail(why);
                ++seen[key == "v" ? 0 : key == "vt" ? 1 : 2];
            } else if (key == "f" || key == "l" || key == "p") {
                const size_t least = key == "f" ? 3 : key == "l" ? 2 : 1;
                if (t.size() < least + 1)
                    fail(key + " needs at least " + std::to_string(least) + (least == 1 ? " index" : " indices"));
                int withUv = 0;
                for (size_t k = 1; k < t.size(); ++k) withUv += corner(t[k], seen);
                if (key == "f") faceUvs(withUv, int(t.size()) - 1);
            }
        });
    }

private:
    [[noreturn]] void fail(const std::string& why) const {
        throw RunError(path_ + ":" + std::to_string(line_) + ": " + why);
    }

    // v, v/vt, v//vn or v/vt/vn; returns 1 when the corner names a uv.
    int corner(const std::string& text, const long* seen) {
        static const char* const kWhat[3] = {"vertex", "texture coordinate", "normal"};
        std::vector<std::string> parts;
        size_t start = 0;
        for (size_t at; (at = text.find('/', start)) != std::string::npos; start = at + 1)
            parts.push_back(text.substr(start, at - start));
        parts.push_back(text.substr(start));
        // Only a texture coordinate's place may stand empty (v//vn).
        if (parts.size() > 3 || parts[0].empty() || (parts.size() > 1 && parts.back().empty()))
            fail("malformed index " + quoted(text));
        for (size_t k = 0; k < parts.size(); ++k) {
            if (parts[k].empty()) continue;
            char* end = nullptr;
            errno = 0;
            const long n = std::strtol(parts[k].c_str(), &end, 10);
            if (*end != '\0' || errno == ERANGE) fail("malformed index " + quoted(text));
            // Negative indices count back from the last element read so far.
            const long resolved = n < 0 ? seen[k] + n : n - 1;
            if (n == 0 || resolved < 0 || resolved >= total_[k])
                fail(std::string(kWhat[k]) + " index " + parts[k] + " is out of range (the file has " +
                     std::to_string(total_[k]) + ")");
        }
        return parts.size() > 1 && !parts[1].empty() ? 1 : 0;
    }

    void faceUvs(int withUv, int corners) {
        if (withUv != 0 && withUv != corners) fail("a face mixes corners with and without texture coordinates");
        const bool has = withUv != 0;
        if (uvLine_ == 0) {
            uvLine_ = line_;
            facesHaveUvs_ = has;
        } else if (has != facesHaveUvs_) {
            fail(std::string("a face ") + (has ? "with" : "without") + " texture coordinates, while the face on line " +
                 std::to_string(uvLine_) + (has ? " has none" : " has them"));
        }
    }

    std::string path_;
    size_t line_ = 0;
    long total_[3] = {0, 0, 0};  // v, vt, vn
    size_t uvLine_ = 0;          // the first face
    bool facesHaveUvs_ = false;
};

// Skin weights ("vw") are no part of a scene, and the reader refuses some it
// could pass over (a negative joint): each such line becomes a comment.
void skipSkinWeights(std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const size_t first = text.find_first_not_of(" \t", at);
        if (first == std::string::npos) return;
        if (text.compare(first, 3, "vw ") == 0 || text.compare(first, 3, "vw\t") == 0) text[first] = '#';
        const size_t end = text.find('\n', first);
        if (end == std::string::npos) return;
        at = end + 1;
    }
}

// The line check counts what the file declares; the reader may still skip
// a line it cannot parse, so every index is checked again against what was read.
void checkIndices(const std::string& path, const tinyobj::attrib_t& attrib,
                  const std::vector<tinyobj::shape_t>& shapes) {
    const auto within = [](int index, size_t floats, size_t width, bool optional) {
        return (optional && index == -1) || (index >= 0 && size_t(index) < floats / width);
    };
    const auto check = [&](const tinyobj::index_t& i) {
        if (!within(i.vertex_index, attrib.vertices.size(), 3, false) ||
            !within(i.normal_index, attrib.normals.size(), 3, true) ||
            !within(i.texcoord_index, attrib.texcoords.size(), 2, true))
            throw RunError(path + ": an index names no vertex, normal or texture coordinate the reader accepted");
    };
    for (const auto& shape : shapes) {
        for (const auto& i : shape.mesh.indices) check(i);
        for (const auto& i : shape.lines.indices) check(i);
        for (const auto& i : shape.points.indices) check(i);
    }
}

Vec3 vertexAt(const tinyobj::attrib_t& attrib, int index) {
    const size_t i = size_t(index) * 3;
    return {attrib.vertices[i], attrib.vertices[i + 1], attrib.vertices[i + 2]};
}

void buildMesh(const std::string& path, const tinyobj::attrib_t& attrib, const std::vector<tinyobj::shape_t>& shapes,
               Scene& scene) {
    // The mesh holds the vertices its faces use, in file order.
    std::map<int, uint32_t> renumber;
    for (const auto& shape : shapes)
        for (const auto& index : shape.mesh.indices) renumber.emplace(index.vertex_index, 0u);
    scene.hasMesh = !renumber.empty();
    if (!scene.hasMesh) return;
    for (auto& [file, mesh] : renumber) {
        mesh = uint32_t(scene.vertices.size());
        scene.vertices.push_back(vertexAt(attrib, file));
    }
    // OBJ normals belong to face corners; a vertex takes the mean direction
    // of the normals its corners name.
    std::vector<Vec3> normalSums(scene.vertices.size(), Vec3{0, 0, 0});
    bool anyNormal = false, anyUv = false;
    for (const auto& shape : shapes) {
        for (const auto& index : shape.mesh.indices) {
            const uint32_t v = renumber[index.vertex_index];
            scene.faces.push_back(v);
            if (index.texcoord_index >= 0) {
                scene.uvFaces.push_back(uint32_t(index.texcoord_index));
                anyUv = true;
            }
            if (index.normal_index >= 0) {
                const size_t n = size_t(index.normal_index) * 3;
                normalSums[v].x += attrib.normals[n];
                normalSums[v].y += attrib.normals[n + 1];
                normalSums[v].z += attrib.normals[n + 2];
                anyNormal = true;
            }
        }
    }
    if (anyNormal) {
        for (Vec3& n : normalSums) {
            const double length = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
            if (length != 0.0) n = {float(n.x / length), float(n.y / length), float(n.z / length)};
        }
        scene.normals = std::move(normalSums);
    }
    // Corners the line check passed can still lose their uv in the reader
    // (a stray '/' in an index): the mesh holds uv faces for all or none.
    if (anyUv && scene.uvFaces.size() != scene.faces.size())
        throw RunError(path + ": faces mix corners with and without texture coordinates");
    if (anyUv) {
        for (size_t i = 0; i + 1 < attrib.texcoords.size(); i += 2)
            scene.uvs.push_back(UV{attrib.texcoords[i], attrib.texcoords[i + 1]});
    } else {
        scene.uvFaces.clear();
    }
}

void buildCurvesAndParticles(const tinyobj::attrib_t& attrib, const std::vector<tinyobj::shape_t>& shapes,
                             Scene& scene) {
    for (const auto& shape : shapes) {
        size_t at = 0;
        for (int n : shape.lines.num_line_vertices) {
            SceneCurve curve;
            for (int k = 0; k < n; ++k) curve.points.push_back(vertexAt(attrib, shape.lines.indices[at + k].vertex_index));
            const bool closed = n >= 3 && shape.lines.indices[at].vertex_index ==
                                              shape.lines.indices[at + n - 1].vertex_index;
            if (closed) curve.points.pop_back();
            curve.closed = closed;
            scene.curves.push_back(std::move(curve));
            at += size_t(n);
        }
        for (const auto& index : shape.points.indices)
            scene.particles.push_back(
                Particle{vertexAt(attrib, index.vertex_index), uint32_t(scene.particles.size()), 0u});
    }
    scene.hasSpline = !scene.curves.empty();
    scene.hasParticles = !scene.particles.empty();
}

// Every number the way "%.9g" and "%u" print it with glibc, on every platform
// and C runtime alike (so nan and inf too); nine digits read every float
// back exactly.
void put(std::string& out, float value) {
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, double(value), std::chars_format::general, 9).ptr);
}

void put(std::string& out, size_t value) {
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void writePoint(std::string& out, const char* key, const Vec3& p) {
    out += key;
    for (float c : {p.x, p.y, p.z}) {
        out += ' ';
        put(out, c);
    }
    out += '\n';
}

void writeVertices(std::string& out, const char* key, const std::vector<Vec3>& points) {
    for (const Vec3& p : points) writePoint(out, key, p);
}
}  // namespace

Scene loadObj(const std::string& path) {
    std::string text = readInput(path, "scene", kMaxSceneBytes);
    // fxhost writes glTF files and sessions: named as such, not refused at some line of their bytes.
    if (text.compare(0, 4, "glTF") == 0) throw RunError(path + ": a binary glTF file, not a Wavefront OBJ scene");
    if (const size_t first = text.find_first_not_of(" \t\r\n"); first != std::string::npos && text[first] == '{')
        throw RunError(path + ": JSON (a glTF file or a session?), not a Wavefront OBJ scene");
    // Text that no line of would read: named for what it is, not refused at some line or found empty.
    if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0)
        throw RunError(path + ": UTF-16 text; fxhost reads a scene as UTF-8 (or ASCII)");
    if (text.find('\n') == std::string::npos && text.find('\r') != std::string::npos)
        throw RunError(path + ": its lines end in a carriage return alone; fxhost reads lines ended by LF or CRLF");
    Prescan(path).run(text);
    skipSkinWeights(text);

    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warning, error;
    // Materials are not read: a scene is geometry, and an "mtllib" line must
    // not make the reader open whatever file it names.
    std::istringstream in(std::move(text));
    if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warning, &error, &in, nullptr, true)) {
        std::string reason = error.substr(0, error.find('\n'));
        throw RunError(path + ": " + (reason.empty() ? "cannot be read" : reason));
    }
    checkIndices(path, attrib, shapes);
    Scene scene;
    buildMesh(path, attrib, shapes, scene);
    buildCurvesAndParticles(attrib, shapes, scene);
    if (!scene.hasMesh && !scene.hasSpline && !scene.hasParticles)
        throw RunError(path + ": no faces, lines or points to work on");
    return scene;
}

void writeObj(const Scene& scene, std::ostream& stream) {
    std::string out = "# generic.fx scene written by fxhost\n";
    size_t base = 1;
    if (scene.hasMesh) {
        out += "o mesh\n";
        writeVertices(out, "v", scene.vertices);
        for (const UV& uv : scene.uvs) {
            out += "vt ";
            put(out, uv.u);
            out += ' ';
            put(out, uv.v);
            out += '\n';
        }
        const bool normals = scene.normals.size() == scene.vertices.size();
        if (normals) writeVertices(out, "vn", scene.normals);
        const bool uvs = !scene.uvs.empty() && scene.uvFaces.size() >= scene.faces.size();
        for (size_t f = 0; f + 2 < scene.faces.size(); f += 3) {
            out += 'f';
            for (size_t k = f; k < f + 3; ++k) {
                out += ' ';
                put(out, size_t(scene.faces[k]) + 1);
                if (uvs || normals) out += '/';
                if (uvs) put(out, size_t(scene.uvFaces[k]) + 1);
                if (normals) {
                    out += '/';
                    put(out, size_t(scene.faces[k]) + 1);
                }
            }
            out += '\n';
        }
        base += scene.vertices.size();
    }
    if (scene.hasSpline) {
        out += "o spline\n";
        for (const SceneCurve& curve : scene.curves) {
            writeVertices(out, "v", curve.points);
            out += 'l';
            for (size_t k = 0; k < curve.points.size(); ++k) {
                out += ' ';
                put(out, base + k);
            }
            if (curve.closed && !curve.points.empty()) {
                out += ' ';
                put(out, base);
            }
            out += '\n';
            base += curve.points.size();
        }
    }
    if (scene.hasParticles && !scene.particles.empty()) {
        out += "o particles\n";
        for (const Particle& p : scene.particles) writePoint(out, "v", p.position);
        for (size_t k = 0; k < scene.particles.size(); ++k) {
            out += k % 16 == 0 ? (k ? "\np " : "p ") : " ";
            put(out, base + k);
        }
        out += '\n';
    }
    stream.write(out.data(), std::streamsize(out.size()));
}

void writeObjFile(const Scene& scene, const std::string& path) {
    writeAtomically(path, [&scene](const std::string& temporary) {
        std::ofstream out(temporary, std::ios::binary);
        writeObj(scene, out);
        out.close();
        return bool(out);
    });
}
