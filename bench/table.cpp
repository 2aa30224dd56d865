// `fx_bench --table`: every effect on every scene and size, in a steady
// state, beside the floors measured in the same run. Prints one
// tab-separated row per figure; bench/table.py joins them with the numpy
// peers into the table.
//
// Rows:  ours    <effect> <scene> <n> <process ns/pt> <update ns> <allocs/frame> <faults/frame>
//        memcpy  -        <scene> <n> <ns/pt>
//        normals -        <scene> <n> <ns/pt>
//        libm    <effect> <scene> <n> <ns/pt>
// Times are thread CPU times, the median of several samples.
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "bench_support.h"
#include "floors.h"
#include "plugin/exports.h"

namespace {
double cpuNs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

long minorFaults() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}

// The median CPU time of one call of f, in ns: samples of at least a few
// milliseconds each, so that short calls are timed in batches.
template <class F>
double medianNs(F&& f, int samples = 7) {
    double start = cpuNs();
    f();
    const double once = std::max(cpuNs() - start, 1.0);
    const int batch = std::max(1, int(3e6 / once));
    std::vector<double> times;
    for (int s = 0; s < samples; ++s) {
        start = cpuNs();
        for (int i = 0; i < batch; ++i) f();
        times.push_back((cpuNs() - start) / batch);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Scene {
    const char* name;
    Kind kind;
    bool normals;
};
constexpr Scene kScenes[] = {{"particles", Kind::particles, false},
                             {"mesh+normals", Kind::mesh, true},
                             {"mesh", Kind::mesh, false},
                             {"spline", Kind::spline, false}};

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
    for (int index = 0; index < 9; ++index) {
        char full[64];
        ParamTable params;
        FxEffect* probe = fx_create(index, full);
        if (!probe) continue;
        probe->registerParams(&params);
        std::string name = full;
        for (const char* prefix : {"_", "Generic"})
            if (name.rfind(prefix, 0) == 0) name.erase(0, std::strlen(prefix));
        all.push_back({index, name, nullptr});
        if (params.find("use tan [b]")) all.push_back({index, name + "+tan", "use tan [b]"});
        fx_delete(probe);
    }
    return all;
}

bool selected(const std::vector<std::string>& only, const std::string& name) {
    return only.empty() || std::find(only.begin(), only.end(), name) != only.end();
}

void timeEffect(const Variant& v, const Scene& s, BenchScene& scene, uint32_t n) {
    ParamTable params;
    FxEffect* effect = fx_create(v.index, nullptr);
    effect->registerParams(&params);
    effect->init(0, 0);
    if (!touchOnly(params, s.kind)) {
        fx_delete(effect);
        return;
    }
    if (v.extraFlag) *params.find(v.extraFlag) = 1.0f;
    effect->start(0);
    float time = 1.0f;
    effect->update(time);
    effect->process(&scene);
    effect->process(&scene);
    const size_t allocs = allocationCount();
    const long faults = minorFaults();
    constexpr int kFrames = 3;
    for (int i = 0; i < kFrames; ++i) effect->process(&scene);
    const double allocsPerFrame = double(allocationCount() - allocs) / kFrames;
    const double faultsPerFrame = double(minorFaults() - faults) / kFrames;
    const double process = medianNs([&] { effect->process(&scene); });
    const double update = medianNs([&] {
        for (int i = 0; i < 100; ++i) effect->update(time += 0.01f);
    }) / 100;
    std::printf("ours\t%s\t%s\t%u\t%.4f\t%.1f\t%g\t%g\n", v.name.c_str(), s.name, n, process / n, update,
                allocsPerFrame, faultsPerFrame);
    std::fflush(stdout);
    fx_delete(effect);
}

void timeFloors(const Scene& s, BenchScene& scene, uint32_t n, const std::vector<Variant>& all,
                const std::vector<std::string>& only) {
    const size_t bytes = bytesOf(scene, s.kind);
    std::vector<char> from(bytes, 1), to(bytes, 0);
    const double copy = medianNs([&] {
        std::memcpy(to.data(), from.data(), bytes);
        asm volatile("" : : "r"(to.data()) : "memory");
    });
    std::printf("memcpy\t-\t%s\t%u\t%.4f\n", s.name, n, copy / n);
    if (s.normals) {
        std::vector<Vec3> normals(scene.vertices().size());
        const double kernel = medianNs([&] {
            normalKernel(scene.vertices().data(), uint32_t(scene.vertices().size()), scene.faces().data(),
                         uint32_t(scene.faces().size() / 3), normals.data());
            asm volatile("" : : "r"(normals.data()) : "memory");
        });
        std::printf("normals\t-\t%s\t%u\t%.4f\n", s.name, n, kernel / n);
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
}  // namespace

// --table [--sizes 10000,100000,1000000] [--effects Harmonik,Twist] [--scenes particles,spline]
int runTable(int argc, char** argv) {
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
    for (uint32_t n : sizes) {
        BenchScene& scene = sceneOf(n);
        for (const Scene& s : kScenes) {
            if (!selected(scenes, s.name)) continue;
            scene.offerNormals(s.normals);
            timeFloors(s, scene, n, all, only);
            for (const Variant& v : all)
                if (selected(only, v.name)) timeEffect(v, s, scene, n);
        }
        scene.offerNormals(true);
    }
    return 0;
}
