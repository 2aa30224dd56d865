#include "gltf_writer.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numeric>
#include <unordered_map>

#include "atomic_file.h"
#include "input_file.h"
#include "kit/errors.h"

namespace {
// A .glb states its length in 32 bits; this leaves room for the JSON.
constexpr size_t kMaxBufferBytes = 0xF0000000u;
constexpr uint32_t kNone = 0xFFFFFFFFu;

bool finite(const Vec3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
bool hasNormals(const Scene& s) { return !s.normals.empty() && s.normals.size() == s.vertices.size(); }

Vec3 unit(const Vec3& n) {
    const double length = std::sqrt(double(n.x) * n.x + double(n.y) * n.y + double(n.z) * n.z);
    if (!(length > 0.0) || !std::isfinite(length)) return {0.0f, 0.0f, 1.0f};
    return {float(n.x / length), float(n.y / length), float(n.z / length)};
}

// Why a frame cannot be a morph target of the scene, or empty when it can.
std::string topologyChange(const Scene& rest, const Scene& frame) {
    if (frame.hasMesh != rest.hasMesh || frame.vertices.size() != rest.vertices.size() ||
        frame.faces != rest.faces || frame.uvFaces != rest.uvFaces)
        return "the mesh's vertices or faces";
    if (hasNormals(frame) != hasNormals(rest)) return "whether the mesh has normals";
    if (frame.curves.size() != rest.curves.size()) return "the number of curves";
    for (size_t c = 0; c < rest.curves.size(); ++c)
        if (frame.curves[c].points.size() != rest.curves[c].points.size() ||
            frame.curves[c].closed != rest.curves[c].closed)
            return "curve " + std::to_string(c + 1);
    if (frame.particles.size() != rest.particles.size()) return "the number of particles";
    return "";
}

// One kind of data as a primitive (-1: absent) and its base positions and
// normals, which every frame's displacements start from.
struct Part {
    int primitive = -1;
    std::vector<Vec3> positions, normals;
};
}  // namespace

bool isGltfPath(const std::string& path) {
    const std::string extension = lowerExtension(path);
    return extension == ".glb" || extension == ".gltf";
}

struct GltfAnimation::Model {
    tinygltf::Model gltf;
    Scene rest;
    double fps = 24.0;
    int added = 0;
    size_t notFinite = 0;
    std::vector<uint32_t> meshSource;  // glTF mesh vertex -> scene vertex
    Part mesh, lines, points;

    int addView(const void* data, size_t bytes, int target) {
        std::vector<unsigned char>& buffer = gltf.buffers[0].data;
        const size_t offset = (buffer.size() + 3) / 4 * 4;  // every accessor 4-byte aligned
        if (offset + bytes > kMaxBufferBytes)
            throw RunError("the glTF file would pass 4 GiB at frame " + std::to_string(added + 1) +
                           ": write fewer frames or a smaller scene");
        buffer.resize(offset);
        buffer.insert(buffer.end(), static_cast<const unsigned char*>(data),
                      static_cast<const unsigned char*>(data) + bytes);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = offset;
        view.byteLength = bytes;
        view.target = target;
        gltf.bufferViews.push_back(view);
        return int(gltf.bufferViews.size() - 1);
    }

    int addAccessor(int view, int componentType, size_t count, int type) {
        tinygltf::Accessor accessor;
        accessor.bufferView = view;
        accessor.componentType = componentType;
        accessor.count = count;
        accessor.type = type;
        gltf.accessors.push_back(accessor);
        return int(gltf.accessors.size() - 1);
    }

    // Float vectors with their bounds (zero included when some entries are
    // the implicit zeros of a sparse or data-less accessor).
    int addVec3(int view, size_t count, const std::vector<Vec3>& values, bool withZero) {
        const int index = addAccessor(view, TINYGLTF_COMPONENT_TYPE_FLOAT, count, TINYGLTF_TYPE_VEC3);
        tinygltf::Accessor& accessor = gltf.accessors[size_t(index)];
        const bool zero = withZero || values.empty();
        accessor.minValues.assign(3, zero ? 0.0 : HUGE_VAL);
        accessor.maxValues.assign(3, zero ? 0.0 : -HUGE_VAL);
        for (const Vec3& v : values) {
            const double c[3] = {v.x, v.y, v.z};
            for (size_t k = 0; k < 3; ++k) {
                accessor.minValues[k] = std::min(accessor.minValues[k], c[k]);
                accessor.maxValues[k] = std::max(accessor.maxValues[k], c[k]);
            }
        }
        return index;
    }

    int addVec3(const std::vector<Vec3>& values) {
        return addVec3(addView(values.data(), values.size() * sizeof(Vec3), TINYGLTF_TARGET_ARRAY_BUFFER),
                       values.size(), values, false);
    }

    template <class T>
    int addPacked(const std::vector<uint32_t>& indices, int target) {
        const std::vector<T> packed(indices.begin(), indices.end());
        return addView(packed.data(), packed.size() * sizeof(T), target);
    }

    // Indices in the smallest type whose largest value stays above every
    // index (some viewers read the largest as a strip restart): the view and
    // the component type.
    std::pair<int, int> addIndexView(const std::vector<uint32_t>& indices, size_t limit, int target) {
        if (limit < 0xFF) return {addPacked<uint8_t>(indices, target), TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE};
        if (limit < 0xFFFF) return {addPacked<uint16_t>(indices, target), TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT};
        return {addPacked<uint32_t>(indices, target), TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT};
    }

    // Zeros but at `at`, which hold the values of `valueView`.
    void makeSparse(int accessor, const std::vector<uint32_t>& at, size_t limit, int valueView) {
        const auto [indexView, indexType] = addIndexView(at, limit, 0);
        tinygltf::Accessor& a = gltf.accessors[size_t(accessor)];
        a.sparse.isSparse = true;
        a.sparse.count = int(at.size());
        a.sparse.indices.bufferView = indexView;
        a.sparse.indices.byteOffset = 0;
        a.sparse.indices.componentType = indexType;
        a.sparse.values.bufferView = valueView;
        a.sparse.values.byteOffset = 0;
    }

    // A morph target's displacements from `base` to `now`: no data when
    // nothing moved, the moved entries alone (sparse) when that is smaller,
    // every entry otherwise. A point that is not finite keeps its place.
    int addDisplacements(const std::vector<Vec3>& base, const std::vector<Vec3>& now) {
        std::vector<Vec3> deltas(base.size());
        std::vector<uint32_t> moved;
        for (size_t i = 0; i < base.size(); ++i) {
            if (!finite(now[i])) {
                ++notFinite;
                deltas[i] = {0.0f, 0.0f, 0.0f};
                continue;
            }
            deltas[i] = {float(double(now[i].x) - base[i].x), float(double(now[i].y) - base[i].y),
                         float(double(now[i].z) - base[i].z)};
            if (deltas[i].x != 0.0f || deltas[i].y != 0.0f || deltas[i].z != 0.0f) moved.push_back(uint32_t(i));
        }
        const size_t indexBytes = base.size() < 0xFF ? 1 : base.size() < 0xFFFF ? 2 : 4;
        if (moved.empty()) return addVec3(-1, base.size(), {}, true);
        if (moved.size() * (sizeof(Vec3) + indexBytes) >= base.size() * sizeof(Vec3)) return addVec3(deltas);
        std::vector<Vec3> values;
        values.reserve(moved.size());
        for (uint32_t i : moved) values.push_back(deltas[i]);
        const int index = addVec3(-1, base.size(), values, moved.size() < base.size());
        makeSparse(index, moved, base.size(), addView(values.data(), values.size() * sizeof(Vec3), 0));
        return index;
    }

    void addPrimitive(Part& part, int mode, int material, const std::vector<uint32_t>* indices, size_t vertices) {
        tinygltf::Primitive primitive;
        primitive.mode = mode;
        primitive.material = material;
        primitive.attributes["POSITION"] = addVec3(part.positions);
        if (!part.normals.empty()) primitive.attributes["NORMAL"] = addVec3(part.normals);
        if (indices) {
            const auto [view, type] = addIndexView(*indices, vertices, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
            primitive.indices = addAccessor(view, type, indices->size(), TINYGLTF_TYPE_SCALAR);
        }
        part.primitive = int(gltf.meshes[0].primitives.size());
        gltf.meshes[0].primitives.push_back(primitive);
    }

    void addTarget(const Part& part, const std::vector<Vec3>& positions, const std::vector<Vec3>* normals) {
        if (part.primitive < 0) return;
        std::map<std::string, int> target;
        target["POSITION"] = addDisplacements(part.positions, positions);
        if (normals) target["NORMAL"] = addDisplacements(part.normals, *normals);
        gltf.meshes[0].primitives[size_t(part.primitive)].targets.push_back(target);
    }

    void addMaterial(const char* name, std::vector<double> colour, double roughness) {
        tinygltf::Material material;
        material.name = name;
        material.doubleSided = true;  // scene files do not promise a winding
        material.pbrMetallicRoughness.baseColorFactor = std::move(colour);
        material.pbrMetallicRoughness.metallicFactor = 0.0;
        material.pbrMetallicRoughness.roughnessFactor = roughness;
        gltf.materials.push_back(material);
    }

    void buildMesh();
    void buildLines();
    void buildPoints();
    void buildAnimation();
};

// Scene vertices keep their index; a vertex met with a second uv becomes a
// further glTF vertex after them (glTF has one index per corner).
void GltfAnimation::Model::buildMesh() {
    if (!rest.hasMesh || rest.faces.empty()) return;
    const size_t count = rest.vertices.size();
    const bool uvs = !rest.uvs.empty() && rest.uvFaces.size() == rest.faces.size();
    meshSource.resize(count);
    std::iota(meshSource.begin(), meshSource.end(), 0u);
    std::vector<uint32_t> uvOf(count, kNone), indices(rest.faces.size());
    std::unordered_map<uint64_t, uint32_t> copies;
    for (size_t k = 0; k < rest.faces.size(); ++k) {
        const uint32_t v = rest.faces[k];
        indices[k] = v;
        if (!uvs) continue;
        const uint32_t t = rest.uvFaces[k];
        if (uvOf[v] == kNone) uvOf[v] = t;
        if (uvOf[v] == t) continue;
        const auto [it, added] = copies.try_emplace(uint64_t(v) << 32 | t, uint32_t(meshSource.size()));
        if (added) {
            meshSource.push_back(v);
            uvOf.push_back(t);
        }
        indices[k] = it->second;
    }
    for (uint32_t v : meshSource) {
        mesh.positions.push_back(finite(rest.vertices[v]) ? rest.vertices[v] : Vec3{0.0f, 0.0f, 0.0f});
        if (hasNormals(rest)) mesh.normals.push_back(unit(rest.normals[v]));
    }
    addMaterial("mesh", {0.8, 0.8, 0.82, 1.0}, 0.6);
    addPrimitive(mesh, TINYGLTF_MODE_TRIANGLES, int(gltf.materials.size() - 1), &indices, meshSource.size());
    if (!uvs) return;
    std::vector<float> texcoords;
    for (uint32_t t : uvOf) {
        const UV uv = t == kNone ? UV{0.0f, 0.0f} : rest.uvs[t];
        texcoords.push_back(uv.u);
        texcoords.push_back(1.0f - uv.v);  // glTF's v runs down the image
    }
    gltf.meshes[0].primitives[size_t(mesh.primitive)].attributes["TEXCOORD_0"] =
        addAccessor(addView(texcoords.data(), texcoords.size() * sizeof(float), TINYGLTF_TARGET_ARRAY_BUFFER),
                    TINYGLTF_COMPONENT_TYPE_FLOAT, uvOf.size(), TINYGLTF_TYPE_VEC2);
}

// Every curve's segments in one primitive of lines: glTF has no strip
// restart, and one primitive keeps one accessor per frame however many
// curves there are.
void GltfAnimation::Model::buildLines() {
    std::vector<uint32_t> segments;
    for (const SceneCurve& curve : rest.curves) {
        const uint32_t first = uint32_t(lines.positions.size()), n = uint32_t(curve.points.size());
        for (const Vec3& p : curve.points) lines.positions.push_back(finite(p) ? p : Vec3{0.0f, 0.0f, 0.0f});
        for (uint32_t i = 0; i + 1 < n; ++i) segments.insert(segments.end(), {first + i, first + i + 1});
        if (curve.closed && n > 2) segments.insert(segments.end(), {first + n - 1, first});
    }
    if (segments.empty()) return;
    addMaterial("curves", {1.0, 0.55, 0.1, 1.0}, 1.0);
    addPrimitive(lines, TINYGLTF_MODE_LINE, int(gltf.materials.size() - 1), &segments, lines.positions.size());
}

void GltfAnimation::Model::buildPoints() {
    for (const Particle& p : rest.particles)
        points.positions.push_back(finite(p.position) ? p.position : Vec3{0.0f, 0.0f, 0.0f});
    if (points.positions.empty()) return;
    addMaterial("particles", {0.2, 0.45, 1.0, 1.0}, 1.0);
    addPrimitive(points, TINYGLTF_MODE_POINTS, int(gltf.materials.size() - 1), nullptr, 0);
}

// Key n (time n / fps) weighs target n fully and every other not at all;
// linear in between, so a viewer playing faster blends neighbouring frames.
// The weights are sparse: one 1 per key instead of frames^2 numbers.
void GltfAnimation::Model::buildAnimation() {
    tinygltf::Mesh& m = gltf.meshes[0];
    const size_t n = size_t(added);
    std::vector<float> times;
    std::vector<uint32_t> ones;
    tinygltf::Value::Array names;
    for (size_t k = 0; k < n; ++k) {
        times.push_back(float(double(k + 1) / fps));
        ones.push_back(uint32_t(k * n + k));
        char name[32];
        std::snprintf(name, sizeof name, "frame_%04zu", k + 1);
        names.emplace_back(std::string(name));
    }
    m.weights.assign(n, 0.0);
    m.weights[0] = 1.0;  // a still viewer shows the first frame
    m.extras = tinygltf::Value(tinygltf::Value::Object{{"targetNames", tinygltf::Value(names)}});

    const int input = addAccessor(addView(times.data(), times.size() * sizeof(float), 0),
                                  TINYGLTF_COMPONENT_TYPE_FLOAT, n, TINYGLTF_TYPE_SCALAR);
    gltf.accessors[size_t(input)].minValues = {double(times.front())};
    gltf.accessors[size_t(input)].maxValues = {double(times.back())};
    const int output = addAccessor(-1, TINYGLTF_COMPONENT_TYPE_FLOAT, n * n, TINYGLTF_TYPE_SCALAR);
    const std::vector<float> full(n, 1.0f);
    makeSparse(output, ones, n * n, addView(full.data(), full.size() * sizeof(float), 0));

    tinygltf::Animation animation;
    animation.name = "run";
    tinygltf::AnimationSampler sampler;
    sampler.input = input;
    sampler.output = output;
    sampler.interpolation = "LINEAR";
    animation.samplers.push_back(sampler);
    tinygltf::AnimationChannel channel;
    channel.sampler = 0;
    channel.target_node = 0;
    channel.target_path = "weights";
    animation.channels.push_back(channel);
    gltf.animations.push_back(animation);
}

GltfAnimation::GltfAnimation(const Scene& rest, double fps) : model_(std::make_unique<Model>()) {
    Model& m = *model_;
    m.rest = rest;
    m.fps = fps;
    m.gltf.asset.version = "2.0";
    m.gltf.asset.generator = "fxhost " FX_VERSION;
    m.gltf.buffers.emplace_back();
    m.gltf.meshes.emplace_back();
    m.gltf.meshes[0].name = "scene";
    m.buildMesh();
    m.buildLines();
    m.buildPoints();
}

GltfAnimation::~GltfAnimation() = default;

void GltfAnimation::addFrame(const Scene& frame) {
    Model& m = *model_;
    const std::string change = topologyChange(m.rest, frame);
    if (!change.empty())
        throw RunError("frame " + std::to_string(m.added + 1) + " changes " + change +
                       ": a glTF animation keeps the scene's topology for the whole run");
    std::vector<Vec3> positions, normals;
    for (uint32_t v : m.meshSource) {
        positions.push_back(frame.vertices[v]);
        if (!m.mesh.normals.empty()) normals.push_back(frame.normals[v]);
    }
    m.addTarget(m.mesh, positions, m.mesh.normals.empty() ? nullptr : &normals);
    positions.clear();
    for (const SceneCurve& curve : frame.curves)
        positions.insert(positions.end(), curve.points.begin(), curve.points.end());
    m.addTarget(m.lines, positions, nullptr);
    positions.clear();
    for (const Particle& p : frame.particles) positions.push_back(p.position);
    m.addTarget(m.points, positions, nullptr);
    ++m.added;
}

void GltfAnimation::write(const std::string& path) {
    Model& m = *model_;
    tinygltf::Model& gltf = m.gltf;
    tinygltf::Node node;
    node.name = "fxhost";
    if (!gltf.meshes[0].primitives.empty() && m.added > 0) {
        m.buildAnimation();
        node.mesh = 0;
    } else {
        gltf.meshes.clear();  // nothing to show: an empty node
    }
    if (gltf.buffers[0].data.empty()) gltf.buffers.clear();
    gltf.nodes = {node};
    gltf.scenes.emplace_back();
    gltf.scenes[0].nodes = {0};
    gltf.defaultScene = 0;

    const bool binary = lowerExtension(path) == ".glb";
    writeAtomically(path, [&gltf, binary](const std::string& temporary) {
        std::ofstream out(temporary, std::ios::binary);
        tinygltf::TinyGLTF writer;
        const bool written = out && writer.WriteGltfSceneToStream(&gltf, out, false, binary);
        out.close();
        return written && bool(out);
    });
    if (m.notFinite)
        std::cerr << "fxhost: " << m.notFinite << " point values that were not finite keep their place in "
                  << printable(path) << '\n';
}
