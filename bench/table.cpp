// `fx_table`: every effect on every scene and size, in a steady
// state, beside the floors measured in the same run. Prints one
// tab-separated row per figure; bench/table.py joins them with the numpy
// peers into the table.
//
// Rows:  ours    <effect>   <scene> <n> <process ns/pt> <update ns> <allocs/frame> <faults/frame> <floor ns/pt>
//                                        <limit ns/pt>
//        memcpy  -          <scene> <n> <ns/pt>
//        normals -          <scene> <n> <ns/pt>
//        rebuild -          <scene> <n> <ns/pt along the kept plan> <ns/pt in face order> <limit ns/pt>
//        libm    <effect>   <scene> <n> <ns/pt>
//        lane    <function> <set>   <elements> <ns/element>   (the function "face": the normals' face rule)
//        rule    <effect>   <lane calls per point> <1: on every point, 0: on some>
//        nopeer  <effect>   <the peer the bench lacks for it: "lane calls" or "libm loop">
// Times are thread CPU times, the median of several samples. Each effect's
// samples alternate with samples of its floor (the memcpy, and the normal
// kernel on the mesh with normals) and of the lane math its rule calls, so
// that its ratios hold while the machine's load changes; the limit is the
// floor plus that math per point (bench/lane_costs.h). The floor and lane
// rows are timed on their own. The rebuild row times the library's normal
// rebuild alone on a copy of the mesh, both ways, beside its limit: the face
// rule on lanes for every face, plus the vertices and faces it must read and
// the normals it must write, at the rate the memcpy floor moves bytes.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "floors.h"
#include "lane_costs.h"
#include "plugin/catalogue.h"
#include "plugin/exports.h"
#include "scene/mesh_copy.h"

namespace {
// The median CPU time of one call of f, in ns: samples of at least a few
// milliseconds each, so that short calls are timed in batches.
template <class F>
double medianNs(F&& f, int samples = 7) {
    double start = threadCpuNs();
    f();
    const double once = std::max(threadCpuNs() - start, 1.0);
    const int batch = std::max(1, int(3e6 / once));
    std::vector<double> times;
    for (int s = 0; s < samples; ++s) {
        start = threadCpuNs();
        for (int i = 0; i < batch; ++i) f();
        times.push_back((threadCpuNs() - start) / batch);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The medians of interleaved samples of several calls: sample s of each
// call is taken right after sample s of the one before it.
std::vector<double> interleavedMedians(const std::vector<std::function<void()>>& calls, int samples = 9) {
    std::vector<int> batch;
    for (const auto& f : calls) {
        const double start = threadCpuNs();
        f();
        batch.push_back(std::max(1, int(3e6 / std::max(threadCpuNs() - start, 1.0))));
    }
    std::vector<std::vector<double>> times(calls.size());
    for (int s = 0; s < samples; ++s)
        for (size_t k = 0; k < calls.size(); ++k) {
            const double start = threadCpuNs();
            for (int i = 0; i < batch[k]; ++i) calls[k]();
            times[k].push_back((threadCpuNs() - start) / batch[k]);
        }
    std::vector<double> medians;
    for (auto& t : times) {
        std::sort(t.begin(), t.end());
        medians.push_back(t[t.size() / 2]);
    }
    return medians;
}

// The floor of one scene: a copy of the bytes handed back, and the normal
// kernel when the mesh has normals.
class Floor {
public:
    Floor(BenchScene& scene, Kind kind, bool normals)
        : scene_(scene), bytes_(bytesOf(scene, kind)), from_(bytes_, 1), to_(bytes_, 0), normals_(normals) {
        if (normals) kernelOut_.resize(scene.vertices().size());
    }
    void copy() {
        std::memcpy(to_.data(), from_.data(), bytes_);
        asm volatile("" : : "r"(to_.data()) : "memory");
    }
    void kernel() {
        normalKernel(scene_.vertices().data(), uint32_t(scene_.vertices().size()), scene_.faces().data(),
                     uint32_t(scene_.faces().size() / 3), kernelOut_.data());
        asm volatile("" : : "r"(kernelOut_.data()) : "memory");
    }
    bool normals() const { return normals_; }
    size_t bytes() const { return bytes_; }

private:
    BenchScene& scene_;
    size_t bytes_;
    std::vector<char> from_, to_;
    std::vector<Vec3> kernelOut_;
    bool normals_;
};

struct SceneCase {
    const char* name;
    Kind kind;
    bool normals, shuffled, strands = false;
};
constexpr SceneCase kScenes[] = {{"particles", Kind::particles, false, false},
                                 {"mesh+normals", Kind::mesh, true, false},
                                 {"shuffled+normals", Kind::mesh, true, true},
                                 {"mesh", Kind::mesh, false, false},
                                 {"spline", Kind::spline, false, false},
                                 {"strands", Kind::spline, false, false, true}};

PointView pointsOf(const BenchScene& scene, Kind kind) {
    switch (kind) {
        case Kind::particles: {
            const auto& p = scene.particles();
            return {reinterpret_cast<const char*>(p.data()), sizeof(Particle), uint32_t(p.size())};
        }
        case Kind::spline: {
            const auto& p = scene.curvePoints();
            return {reinterpret_cast<const char*>(p.data()), sizeof(Vec3), uint32_t(p.size())};
        }
        case Kind::mesh: break;
    }
    const auto& v = scene.vertices();
    return {reinterpret_cast<const char*>(v.data()), sizeof(Vec3), uint32_t(v.size())};
}

struct Variant {
    int index;
    std::string name;       // "Harmonik", "Cosine+tan", ...
    const char* extraFlag;  // turned on besides the data flag, or null
};

std::vector<Variant> variants() {
    std::vector<Variant> all;
    for (int index = 0; index < kCatalogueSize; ++index) {
        char full[64];
        ParamHost params;
        FxEffect* probe = fx_create(index, full);
        probe->registerParams(&params);
        std::string name = full;
        for (const char* prefix : {"_", "Generic"})
            if (name.rfind(prefix, 0) == 0) name.erase(0, std::strlen(prefix));
        all.push_back({index, name, nullptr});
        if (params.registration("use tan [b]")) all.push_back({index, name + "+tan", "use tan [b]"});
        fx_delete(probe);
    }
    return all;
}

bool selected(const std::vector<std::string>& only, const std::string& name) {
    return only.empty() || std::find(only.begin(), only.end(), name) != only.end();
}

void timeEffect(const Variant& v, const SceneCase& s, BenchScene& scene, uint32_t n, Floor& floor, LaneTimer& lanes) {
    ParamHost params;
    FxEffect* effect = fx_create(v.index, nullptr);
    effect->registerParams(&params);
    effect->init(0, 0);
    if (!touchOnly(params, s.kind)) {
        fx_delete(effect);
        return;
    }
    if (v.extraFlag) *params.registration(v.extraFlag)->value = 1.0f;
    effect->start(0);
    float time = 1.0f;
    effect->update(time);
    effect->process(scene.host());
    effect->process(scene.host());
    const size_t allocs = allocationCount();
    const long faults = minorFaults();
    constexpr int kFrames = 3;
    for (int i = 0; i < kFrames; ++i) effect->process(scene.host());
    const double allocsPerFrame = double(allocationCount() - allocs) / kFrames;
    const double faultsPerFrame = double(minorFaults() - faults) / kFrames;
    // The lane math is timed right after the effect, not after the floor's copy: following the
    // copy its samples ran slower (cos 2.3 to 3.1 ns an element, against 2.1 after the effect or
    // on its own), which put the limit too high.
    std::vector<std::function<void()>> calls{[&] { effect->process(scene.host()); }};
    const RuleCalls rule = ruleCalls(v.name, pointsOf(scene, s.kind), lanes.width());
    for (const LaneCall& call : rule.calls) calls.push_back([&lanes, call] { lanes.run(call.function); });
    const size_t copy = calls.size();
    calls.push_back([&] { floor.copy(); });
    if (floor.normals()) calls.push_back([&] { floor.kernel(); });
    const std::vector<double> t = interleavedMedians(calls);
    double math = 0.0;  // ns per point
    for (size_t k = 0; k < rule.calls.size(); ++k)
        math += rule.calls[k].perPoint * rule.share * t[1 + k] / kLaneElements;
    const double update = medianNs([&] {
        for (int i = 0; i < 100; ++i) effect->update(time += 0.01f);
    }) / 100;
    const double floorNs = t[copy] + (floor.normals() ? t[copy + 1] : 0.0);
    std::printf("ours\t%s\t%s\t%u\t%.4f\t%.1f\t%g\t%g\t%.4f\t%.4f\n", v.name.c_str(), s.name, n, t[0] / n, update,
                allocsPerFrame, faultsPerFrame, floorNs / n, floorNs / n + math);
    std::fflush(stdout);
    fx_delete(effect);
}

// The library's normal rebuild alone, along the plan it keeps and in face
// order, on a copy of the scene's mesh; and its limit.
void timeRebuild(const SceneCase& s, BenchScene& scene, uint32_t n, double memcpyNs, const Floor& floor,
                 LaneTimer& lanes) {
    Mesh copy = kEmptyMesh;
    copyFrom(copy, scene.mesh(), true, true, false, false, false);
    KeptNormalPlan kept;
    recomputeNormals(copy, kept);
    const std::vector<double> t = interleavedMedians({[&] { recomputeNormals(copy, kept); },
                                                      [&] { recomputeNormals(copy); },
                                                      [&] { lanes.runFaces(); }});
    const double faces = double(scene.faces().size() / 3), bytes = 2.0 * n * sizeof(Vec3) + faces * 3 * sizeof(uint32_t);
    const double limit = faces * t[2] / kLaneElements + bytes * memcpyNs / (2.0 * double(floor.bytes()));
    std::printf("rebuild\t-\t%s\t%u\t%.4f\t%.4f\t%.4f\n", s.name, n, t[0] / n, t[1] / n, limit / n);
    release(copy);
}

void timeFloors(const SceneCase& s, BenchScene& scene, uint32_t n, Floor& floor, const std::vector<Variant>& all,
                const std::vector<std::string>& only, LaneTimer& lanes) {
    const double memcpyNs = medianNs([&] { floor.copy(); });
    std::printf("memcpy\t-\t%s\t%u\t%.4f\n", s.name, n, memcpyNs / n);
    if (s.normals) {
        std::printf("normals\t-\t%s\t%u\t%.4f\n", s.name, n, medianNs([&] { floor.kernel(); }) / n);
        timeRebuild(s, scene, n, memcpyNs, floor, lanes);
    }
    const PointView points = pointsOf(scene, s.kind);
    for (const Variant& v : all)
        if (selected(only, v.name) && hasMathLoop(v.name)) {
            volatile double sink = 0.0;
            const double loop = medianNs([&] { sink = sink + mathLoop(v.name, points); });
            std::printf("libm\t%s\t%s\t%u\t%.4f\n", v.name.c_str(), s.name, n, loop / n);
        }
    std::fflush(stdout);
}

std::vector<std::string> split(const char* list) {
    std::vector<std::string> items;
    std::string item;
    for (const char* c = list;; ++c) {
        if (*c == ',' || *c == '\0') {
            if (!item.empty()) items.push_back(item);
            item.clear();
            if (*c == '\0') break;
        } else {
            item += *c;
        }
    }
    return items;
}

// The bench's model of each effect's rule, and the effects it has none for:
// they are timed, their limit being their floor.
void describeRules(const std::vector<Variant>& all, const std::vector<std::string>& only) {
    for (const Variant& v : all) {
        if (!selected(only, v.name)) continue;
        const RuleCalls rule = ruleCalls(v.name, PointView{nullptr, 0, 0}, 1);
        int calls = 0;
        for (const LaneCall& call : rule.calls) calls += call.perPoint;
        if (rule.modelled)
            std::printf("rule\t%s\t%d\t%d\n", v.name.c_str(), calls, rule.everyPoint ? 1 : 0);
        else
            std::printf("nopeer\t%s\tlane calls\n", v.name.c_str());
        if (!hasLoopPeer(v.name)) std::printf("nopeer\t%s\tlibm loop\n", v.name.c_str());
    }
}
}  // namespace

// fx_table [--sizes 10000,100000,1000000] [--effects Harmonik,Twist] [--scenes particles,spline]
// fx_table --list: the name of every effect (and variant) the table times, one a line.
int main(int argc, char** argv) {
    std::vector<uint32_t> sizes{10000u, 100000u, 1000000u};
    std::vector<std::string> only, scenes;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--sizes")) {
            sizes.clear();
            for (const std::string& s : split(argv[i + 1])) sizes.push_back(uint32_t(std::stoul(s)));
        } else if (!std::strcmp(argv[i], "--effects")) {
            only = split(argv[i + 1]);
        } else if (!std::strcmp(argv[i], "--scenes")) {
            scenes = split(argv[i + 1]);
        }
    }
    const std::vector<Variant> all = variants();
    if (argc == 2 && !std::strcmp(argv[1], "--list")) {
        for (const Variant& v : all) std::printf("%s\n", v.name.c_str());
        return 0;
    }
    describeRules(all, only);
    LaneTimer lanes;
    for (LaneFunction f : kLaneFunctions)
        std::printf("lane\t%s\t%s\t%d\t%.4f\n", nameOf(f), lanes.set(), kLaneElements,
                    medianNs([&] { lanes.run(f); }) / kLaneElements);
    std::printf("lane\tface\t%s\t%d\t%.4f\n", lanes.set(), kLaneElements,
                medianNs([&] { lanes.runFaces(); }) / kLaneElements);
    for (uint32_t n : sizes) {
        BenchScene& scene = sceneOf(n);
        for (const SceneCase& s : kScenes) {
            if (!selected(scenes, s.name)) continue;
            scene.offerNormals(s.normals);
            scene.offerShuffledFaces(s.shuffled);
            scene.offerStrands(s.strands);
            Floor floor(scene, s.kind, s.normals);
            timeFloors(s, scene, n, floor, all, only, lanes);
            for (const Variant& v : all)
                if (selected(only, v.name)) timeEffect(v, s, scene, n, floor, lanes);
        }
        scene.offerNormals(true);
        scene.offerShuffledFaces(false);
        scene.offerStrands(false);
    }
    return 0;
}
