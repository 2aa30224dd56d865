#include "bench_support.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/resource.h>
#include <time.h>
#endif

#include <cstdlib>
#include <map>
#include <memory>
#include <new>

namespace {
size_t allocations = 0;
}

size_t allocationCount() { return allocations; }

void* operator new(size_t n) {
    ++allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    ++allocations;
    return std::malloc(n ? n : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::particles: return "particles";
        case Kind::spline: return "spline";
        case Kind::mesh: return "mesh";
    }
    return "";
}

size_t bytesOf(const BenchScene& scene, Kind kind) {
    switch (kind) {
        case Kind::particles: return scene.particleBytes();
        case Kind::spline: return scene.splineBytes();
        case Kind::mesh: return scene.meshBytes();
    }
    return 0;
}

bool touchOnly(const ParamHost& params, Kind kind) {
    bool found = false;
    for (Kind k : kKinds)
        if (const HostParam* flag = params.find(std::string("on ") + kindName(k))) {
            *flag->value[0] = k == kind ? 1.0f : 0.0f;
            found = found || k == kind;
        }
    return found;
}

BenchScene& sceneOf(uint32_t n) {
    static std::map<uint32_t, std::unique_ptr<BenchScene>> scenes;
    std::unique_ptr<BenchScene>& scene = scenes[n];
    if (!scene) scene = std::make_unique<BenchScene>(n);
    return *scene;
}

#if defined(_WIN32)
namespace {
// Wine runs the program as a Linux process: its int 0x80 calls reach
// Linux, whose thread clock counts in ns where Windows' counts in ticks.
bool underWine() {
    static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}
long linuxCall(long number, long a, long b) {
    long result;
    asm volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b) : "memory");
    return result;
}
}  // namespace

double threadCpuNs() {
    if (underWine()) {
        long t[2];                                     // i386 struct timespec
        linuxCall(265, 3, reinterpret_cast<long>(t));  // clock_gettime(CLOCK_THREAD_CPUTIME_ID)
        return double(t[0]) * 1e9 + double(t[1]);
    }
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) * 1e9 / double(frequency.QuadPart);
}

long minorFaults() {
    if (!underWine()) return 0;
    long usage[18];                                       // i386 struct rusage
    linuxCall(77, 0, reinterpret_cast<long>(usage));  // getrusage(RUSAGE_SELF)
    return usage[8];                                      // ru_minflt, after two timevals and four longs
}
#else
double threadCpuNs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

long minorFaults() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}
#endif
