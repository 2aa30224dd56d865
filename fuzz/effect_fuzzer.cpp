// Drives one effect of the catalogue as any host might. The input chooses
// the effect, a scene that keeps the records' invariants, the order of the
// host's calls, the times passed to update, every value the host writes
// into the registered parameters, and whether the host keeps the copies it
// is handed as its current data. After every process:
// - it returned false;
// - each handed-back copy has the counts of what the host served (no
//   particle array when it served no particle), and the host words, faces,
//   uv faces, face flags, uvs and closed marks equal it bit for bit;
// - each curve's segment lengths and length are those of its moved points;
// - its normals, however the effect rebuilt them (along what it kept of
//   faces served before, which the input may reconnect at the same counts),
//   are bit for bit those of the rebuild in face order;
// - in a tame run (parameters in 0..1, points within +-1e6, finite times),
//   on positions within +-1e6, every moved position is finite. One exception
//   by design: with "use tan" on, Cosine's tangent wave grows without bound
//   near its poles and nothing clamps it;
// - it took at most kNsPerElement per particle, curve point, vertex and
//   face, or kFloorNs for a smaller scene.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>
#include <vector>

#include "fx/abi.h"
#include "float_agreement.h"
#include "kit/host_data.h"
#include "kit/param_host.h"
#include "kit/recording_gl.h"
#include "plugin/catalogue.h"
#include "plugin/exports.h"
#include "scene/host_vector.h"
#include "scene/mesh_copy.h"
#include "scene/vec_math.h"

namespace {
constexpr int kMaxCalls = 200;
constexpr uint32_t kLargeArray = 3000;
// One millisecond per thousand elements. Small scenes get a floor of 10 ms:
// the sanitizers slow every call several times, and some work does not
// grow with the scene (Translate from spline resamples up to 65536 points
// for a typed-in precision, a few milliseconds here).
constexpr long kNsPerElement = 1000;
constexpr long kFloorNs = 10'000'000;
constexpr int kTimedRuns = 3;
constexpr float kTame = 1e6f;

#define CHECK(cond, ...)                                        \
    do {                                                        \
        if (!(cond)) {                                          \
            std::fprintf(stderr, "effect %d: ", effectIndex);   \
            std::fprintf(stderr, __VA_ARGS__);                  \
            std::fprintf(stderr, " (%s)\n", #cond);             \
            std::abort();                                       \
        }                                                       \
    } while (0)

int effectIndex = -1;
// FX_FUZZ_TRACE=1 prints every call, to read what an input does.
const bool trace = std::getenv("FX_FUZZ_TRACE") != nullptr;

// Bulk values come from a generator seeded by the input, so a scene of
// thousands of points costs the input a few bytes.
struct Bits {
    uint64_t state;
    uint32_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return uint32_t((z ^ (z >> 31)) >> 32);
    }
    float unit() { return float(next() >> 8) * (1.0f / 16777216.0f); }  // [0, 1)
    float within(float range) { return (2.0f * unit() - 1.0f) * range; }
};

// Any float a host might hold: edge values often, raw bit patterns otherwise.
float wildFloat(uint32_t r) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kMax = std::numeric_limits<float>::max();
    static const float special[] = {0.0f,  -0.0f, 1.0f,        -1.0f,  0.5f,  0.49999997f, kNaN,   -kNaN,
                                    kInf,  -kInf, kMax,        -kMax,  1e-45f, 1.17549435e-38f, 1e6f, -1e6f,
                                    1e-6f, 2.0f,  1.00000012f, 0.25f};
    if ((r & 3) == 0) return special[(r >> 2) % (sizeof special / sizeof *special)];
    return std::bit_cast<float>(r);
}

// A tame parameter: often an edge of its range.
float tameUnit(Bits& bits) {
    static const float edges[] = {0.0f, 1.0f, 0.5f, 0.49999997f, 0.25f, 0.75f};
    const uint32_t r = bits.next();
    return (r & 3) == 0 ? edges[(r >> 2) % 6] : bits.unit();
}

uint32_t arraySize(FuzzedDataProvider& in, uint32_t large) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: return 0;
        case 1: return 1;
        case 2: return in.ConsumeIntegralInRange<uint32_t>(2, 16);
        default: return in.ConsumeIntegralInRange<uint32_t>(17, large);
    }
}

// An empty array the host may give as a null pointer, a null begin with
// whatever the other pointers hold, or a present empty array.
template <class T>
void absentOr(FuzzedDataProvider& in, HostVector<T>*& v) {
    if (!v || count(v) != 0) return;
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0: v = nullptr; break;
        case 1: v->end = v->capacityEnd = reinterpret_cast<T*>(uintptr_t(0x40)); break;
        default: break;
    }
}

struct SceneBuilder {
    FuzzedDataProvider& in;
    bool tame;
    Bits bits{0};
    float range = 1.0f;

    float coordinate() { return tame ? bits.within(range) : wildFloat(bits.next()); }
    Vec3 point(const std::vector<Vec3>& sofar) {
        // Repeated points give zero-length segments and zero-area faces.
        if (!sofar.empty() && bits.next() % 8 == 0) return sofar.back();
        return {coordinate(), coordinate(), coordinate()};
    }

    void build(Scene& s, SceneRecords& records) {
        bits.state = in.ConsumeIntegral<uint64_t>();
        static const float ranges[] = {1.0f, 100.0f, kTame};
        range = ranges[in.ConsumeIntegralInRange(0, 2)];
        s = Scene{};

        s.particles.resize(arraySize(in, kLargeArray));
        std::vector<Vec3> sofar;
        for (Particle& p : s.particles) {
            p.position = point(sofar);
            sofar.push_back(p.position);
            p.aux0 = bits.next();
            p.aux1 = bits.next();
        }

        const int curves = in.ConsumeIntegralInRange(0, 8);
        for (int c = 0; c < curves; ++c) {
            std::vector<Vec3> points;
            for (uint32_t n = arraySize(in, 1000), i = 0; i < n; ++i) points.push_back(point(points));
            s.curves.push_back({points, in.ConsumeBool()});
        }

        const uint32_t vertices = arraySize(in, kLargeArray);
        for (uint32_t i = 0; i < vertices; ++i) s.vertices.push_back(point(s.vertices));
        if (in.ConsumeBool())
            for (uint32_t i = 0; i < vertices; ++i) s.normals.push_back({coordinate(), coordinate(), coordinate()});
        const uint32_t faces = vertices ? arraySize(in, kLargeArray) : 0;
        // A face may repeat a corner (zero area); the count is entries / 3, so
        // one or two trailing entries belong to no face.
        const uint32_t entries = 3 * faces + (vertices ? in.ConsumeIntegralInRange(0, 2) : 0);
        for (uint32_t i = 0; i < entries; ++i)
            s.faces.push_back(i % 3 && bits.next() % 8 == 0 ? s.faces.back() : bits.next() % vertices);
        const uint32_t uvs = in.ConsumeBool() ? arraySize(in, kLargeArray) : 0;
        for (uint32_t i = 0; i < uvs; ++i) s.uvs.push_back({wildFloat(bits.next()), wildFloat(bits.next())});
        if (uvs)
            for (uint32_t i = 0; i < 3 * faces; ++i) s.uvFaces.push_back(bits.next() % uvs);
        s.faceFlags.resize(faces / 10 + 1);
        for (uint32_t& w : s.faceFlags) w = bits.next();
        records.publish();

        Mesh& mesh = *records.mesh();
        absentOr(in, records.particles()->particles);
        absentOr(in, records.spline()->curves);
        absentOr(in, mesh.vertices);
        if (entries == 0) absentOr(in, mesh.faces);
        absentOr(in, mesh.uvFaces);
        if (in.ConsumeBool()) mesh.faceFlags = nullptr;
    }
};

// Other faces at the same counts, written over the mesh's own, as a host
// reconnects its points: every face anew, or one face alone.
void rewire(FuzzedDataProvider& in, Bits& bits, Mesh& m) {
    const uint32_t vertices = count(m.vertices), faces = count(m.faces) / 3;
    if (!vertices || !faces) return;
    const bool one = in.ConsumeBool();
    const uint32_t from = one ? bits.next() % faces : 0, to = one ? from + 1 : faces;
    uint32_t* f = m.faces->begin;
    for (uint32_t i = 3 * from; i < 3 * to; ++i) f[i] = i % 3 && bits.next() % 8 == 0 ? f[i - 1] : bits.next() % vertices;
}

bool tanOn(const ParamHost& params) {
    const HostParam* tan = params.find("use tan");
    return tan && flagOn(*tan->value[0]);
}

long cpuNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1'000'000'000L + t.tv_nsec;
}

template <class T>
std::vector<T> leading(const HostVector<T>* v, uint32_t n) {
    return n ? std::vector<T>(v->begin, v->begin + n) : std::vector<T>{};
}

// What the host serves, as the effect may read it, taken before process:
// a host that keeps a handed copy serves the effect its own copy, which
// process then overwrites.
struct Served {
    bool particleArray = false, curveArray = false;
    std::vector<Particle> particles;
    std::vector<uint32_t> curvePoints;
    std::vector<bool> closed;
    uint32_t vertices = 0, faces = 0;
    bool normals = false, faceFlagArray = false;
    std::vector<uint32_t> faceEntries, uvFaceEntries, faceFlags;
    std::vector<UV> uvs;
    long elements = 0;  // particles, curve points, vertices and faces
    // Every position finite within +-1e6; a host that keeps the copies may
    // serve positions an effect has moved far out, frame after frame.
    bool tamePositions = true;

    Served(const ParticleSet& p, const Spline& s, const Mesh& m) {
        particleArray = count(p.particles) > 0;
        particles = leading(p.particles, count(p.particles));
        curveArray = count(s.curves) > 0;
        for (uint32_t c = 0; c < count(s.curves); ++c) {
            curvePoints.push_back(count(s.curves->begin[c].points));
            closed.push_back(s.curves->begin[c].closed);
        }
        vertices = count(m.vertices);
        faces = count(m.faces) / 3;
        normals = m.normals != nullptr;
        faceEntries = leading(m.faces, 3 * faces);
        uvs = leading(m.uvs, count(m.uvs));
        uvFaceEntries = leading(m.uvFaces, std::min(3 * faces, count(m.uvFaces)));
        faceFlagArray = m.faceFlags != nullptr;
        if (faceFlagArray) faceFlags.assign(m.faceFlags, m.faceFlags + faces / 10 + 1);
        elements = long(particles.size()) + vertices + faces;
        for (uint32_t n : curvePoints) elements += n;

        auto tame = [&](const Vec3& v) {
            tamePositions = tamePositions && std::fabs(v.x) <= kTame && std::fabs(v.y) <= kTame &&
                            std::fabs(v.z) <= kTame;
        };
        for (const Particle& q : particles) tame(q.position);
        for (uint32_t c = 0; c < count(s.curves); ++c)
            for (uint32_t i = 0; i < curvePoints[c]; ++i) tame(s.curves->begin[c].points.begin[i]);
        for (uint32_t i = 0; i < vertices; ++i) tame(m.vertices->begin[i]);
    }
};

template <class T>
bool sameArray(const T* copy, const std::vector<T>& host) {
    return host.empty() || std::memcmp(copy, host.data(), sizeof(T) * host.size()) == 0;
}

struct Run {
    Run(FxEffect* effect, bool tameRun) : fx(effect), tame(tameRun) {
        host.keepHanded = false;
        host.offerWithoutArray = true;  // the host hands over whatever it holds
    }
    FxEffect* fx;
    bool tame;
    Scene scene;
    SceneRecords records{scene};
    HostData host;
    ParamHost params;

    template <class Call>
    void call(const char* what, Call body) {
        if (trace) std::fprintf(stderr, "  %s\n", what);
        body();
    }

    void serveScene() {
        host.serve(records);
        if (trace)
            std::fprintf(stderr, "scene: %u particles, %u curves, %u vertices, %u faces, %u uvs\n",
                         count(host.particles->particles), count(host.spline->curves), count(host.mesh->vertices),
                         count(host.mesh->faces) / 3, count(host.mesh->uvs));
    }

    // Checked on the first run. A slow process runs again on the same data
    // (it does the same work) and is judged by its fastest run: time the
    // machine spends elsewhere (other jobs, a preempted virtual CPU) makes no
    // finding. A host that keeps what it is handed serves the effect its own
    // copies; those runs again move the copies, for the time alone.
    void process() {
        const Served from(*host.particles, *host.spline, *host.mesh);
        const bool ownCopies = host.particles != records.particles() || host.spline != records.spline() ||
                               host.mesh != records.mesh();
        host.handedParticles = nullptr;
        host.handedSpline = nullptr;
        host.handedMesh = nullptr;
        long fastest = timedProcess();
        const bool mustBeFinite = tame && from.tamePositions && !tanOn(params);
        if (host.handedParticles) checkParticles(from, *host.handedParticles, mustBeFinite);
        if (host.handedSpline) checkSpline(from, *host.handedSpline, mustBeFinite);
        if (host.handedMesh) checkMesh(from, *host.handedMesh, mustBeFinite);

        const long budget = std::max(kFloorNs, kNsPerElement * from.elements);
        for (int run = 1; run < kTimedRuns && fastest > budget; ++run) {
            if (!ownCopies) host.serve(records);
            fastest = std::min(fastest, timedProcess());
        }
        if (trace) std::fprintf(stderr, "  process: %ld ns for %ld elements\n", fastest, from.elements);
        CHECK(fastest <= budget, "process took %ld ns for %ld elements", fastest, from.elements);
    }

    long timedProcess() {
        const long before = cpuNanoseconds();
        const bool result = fx->process(&host);
        const long spent = cpuNanoseconds() - before;
        CHECK(!result, "process answered true");
        return spent;
    }

    static void checkParticles(const Served& from, const ParticleSet& copy, bool mustBeFinite) {
        if (!from.particleArray) {
            CHECK(copy.particles == nullptr, "particles handed back for none");
            return;
        }
        const uint32_t n = uint32_t(from.particles.size());
        CHECK(count(copy.particles) == n, "particle count %u, host %u", count(copy.particles), n);
        const Particle* to = copy.particles->begin;
        for (uint32_t i = 0; i < n; ++i) {
            CHECK(to[i].aux0 == from.particles[i].aux0 && to[i].aux1 == from.particles[i].aux1,
                  "host words of particle %u", i);
            CHECK(!mustBeFinite || isFinite(to[i].position), "particle %u moved off the finite", i);
        }
    }

    static void checkSpline(const Served& from, const Spline& copy, bool mustBeFinite) {
        if (!from.curveArray) {
            CHECK(copy.curves == nullptr, "curves handed back for none");
            return;
        }
        const uint32_t n = uint32_t(from.curvePoints.size());
        CHECK(count(copy.curves) == n, "curve count %u, host %u", count(copy.curves), n);
        for (uint32_t c = 0; c < n; ++c) {
            const Curve& to = copy.curves->begin[c];
            const uint32_t points = from.curvePoints[c];
            CHECK(count(to.points) == points, "curve %u: %u points, host %u", c, count(to.points), points);
            CHECK(count(to.segmentLengths) == points, "curve %u: %u lengths", c, count(to.segmentLengths));
            CHECK(to.closed == from.closed[c], "curve %u: closed mark", c);
            for (uint32_t i = 0; mustBeFinite && i < points; ++i)
                CHECK(isFinite(to.points.begin[i]), "curve %u point %u moved off the finite", c, i);
            // The lengths are its own points' (an open curve's last entry is left as it was).
            std::vector<float> lengths(points);
            const float length = measureCurve(to.points.begin, points, to.closed, lengths.data());
            for (uint32_t i = 0; i < (to.closed ? points : points - (points > 0)); ++i)
                CHECK(sameFloat(to.segmentLengths.begin[i], lengths[i]), "curve %u: segment %u's length", c, i);
            CHECK(sameFloat(to.length, length), "curve %u: length", c);
        }
    }

    static void checkMesh(const Served& from, const Mesh& copy, bool mustBeFinite) {
        const uint32_t faces = from.faces, uvs = uint32_t(from.uvs.size());
        CHECK(count(copy.vertices) == from.vertices, "vertex count %u, host %u", count(copy.vertices), from.vertices);
        CHECK(count(copy.faces) == 3 * faces, "face entries %u, host %u faces", count(copy.faces), faces);
        if (faces) CHECK(sameArray(copy.faces->begin, from.faceEntries), "faces");
        CHECK(copy.faceFlags != nullptr, "no face flags");
        if (from.faceFlagArray) CHECK(sameArray(copy.faceFlags, from.faceFlags), "face flags");
        if (uvs == 0) {
            CHECK(copy.uvs == nullptr && copy.uvFaces == nullptr, "uvs handed back for none");
        } else {
            CHECK(count(copy.uvs) == uvs, "uv count %u, host %u", count(copy.uvs), uvs);
            CHECK(sameArray(copy.uvs->begin, from.uvs), "uvs");
            CHECK(count(copy.uvFaces) == 3 * faces, "uv face entries %u", count(copy.uvFaces));
            if (!from.uvFaceEntries.empty()) CHECK(sameArray(copy.uvFaces->begin, from.uvFaceEntries), "uv faces");
        }
        if (from.normals) {
            CHECK(count(copy.normals) == from.vertices, "normal count %u", count(copy.normals));
            Mesh inFaceOrder = kEmptyMesh;
            copyFrom(inFaceOrder, copy, true, true, false, false, false);
            recomputeNormals(inFaceOrder);
            for (uint32_t i = 0; i < from.vertices; ++i) {
                const Vec3 &got = copy.normals->begin[i], &want = inFaceOrder.normals->begin[i];
                CHECK(sameFloat(got.x, want.x) && sameFloat(got.y, want.y) && sameFloat(got.z, want.z),
                      "normal %u is not the rebuild's in face order", i);
            }
            release(inFaceOrder);
        }
        for (uint32_t i = 0; mustBeFinite && i < from.vertices; ++i)
            CHECK(isFinite(copy.vertices->begin[i]), "vertex %u moved off the finite", i);
    }
};

enum Call { kInit, kRegister, kStart, kUpdate, kProcess, kDraw, kWriteOne, kWriteAll, kOffer, kReserved, kNewScene,
            kRewire, kCalls };
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    effectIndex = in.ConsumeIntegralInRange(0, kCatalogueSize - 1);
    const bool tame = in.ConsumeBool();
    char name[32];
    FxEffect* fx = fx_create(effectIndex, name);
    if (!fx) return 0;  // not built into this library
    if (trace) std::fprintf(stderr, "%s, %s run\n", name, tame ? "tame" : "wild");

    Run run{fx, tame};
    SceneBuilder builder{in, tame};
    builder.build(run.scene, run.records);
    run.serveScene();
    clearGlLog();  // the gizmos' calls are recorded, one input's at a time
    Bits values{in.ConsumeIntegral<uint64_t>()};
    auto valueFor = [&](const Registration& r) {
        if (!tame) return wildFloat(values.next());
        return r.kind == ParamKind::Point ? values.within(kTame) : tameUnit(values);
    };
    const std::vector<Registration>& registered = run.params.registrations();
    float time = 0.0f;
    int registrations = 0;

    for (int calls = 0; calls < kMaxCalls && in.remaining_bytes() > 0; ++calls) {
        switch (in.ConsumeIntegralInRange(0, kCalls - 1)) {
            case kInit: run.call("init", [&] { fx->init(in.ConsumeIntegral<uint32_t>(), 0); }); break;
            case kRegister:
                if (registrations++ < 2) run.call("registerParams", [&] { fx->registerParams(&run.params); });
                break;
            case kStart: run.call("start", [&] { fx->start(0); }); break;
            case kUpdate: {
                // Repeats, rewinds, small steps, jumps; a tame run keeps to finite times.
                switch (in.ConsumeIntegralInRange(0, 4)) {
                    case 0: break;
                    case 1: time = float(double(time) + values.unit()); break;
                    case 2: time = float(double(time) - 10.0 * values.unit()); break;
                    case 3: time = values.within(kTame); break;
                    default: time = wildFloat(values.next()); break;
                }
                if (tame && !std::isfinite(time)) time = 0.0f;
                if (trace) std::fprintf(stderr, "  time %g\n", double(time));
                run.call("update", [&] { fx->update(time); });
                break;
            }
            case kProcess:
                run.process();
                // The host may store a display list in the mesh it was handed.
                if (run.host.handedMesh && in.ConsumeBool()) run.host.handedMesh->displayList = values.next();
                break;
            case kDraw: run.call("draw", [&] { fx->draw(); }); break;
            case kWriteOne:
                if (!registered.empty()) {
                    const Registration& r = registered[in.ConsumeIntegralInRange<size_t>(0, registered.size() - 1)];
                    *r.value = valueFor(r);
                    if (trace) std::fprintf(stderr, "  %s = %g\n", r.name.c_str(), double(*r.value));
                }
                break;
            case kWriteAll:
                for (const Registration& r : registered) *r.value = valueFor(r);
                if (trace) std::fprintf(stderr, "  every parameter written\n");
                break;
            case kOffer:
                run.host.offerParticles = in.ConsumeBool();
                run.host.offerSpline = in.ConsumeBool();
                run.host.offerMesh = in.ConsumeBool();
                // Keeping what was handed back makes the copies the data
                // the effect reads on its next process.
                run.host.keepHanded = in.ConsumeBool();
                if (!run.host.keepHanded) run.serveScene();
                break;
            case kReserved:
                run.call("reserved", [&] {
                    fx->reserved3(0);
                    fx->reserved7();
                    fx->reserved8();
                    fx->reserved9(0, 0);
                    fx->reserved10(0);
                    fx->reserved14();
                    fx->reserved15();
                    fx->reserved16(0);
                    fx->description();
                    fx->author();
                });
                break;
            case kNewScene:
                builder.build(run.scene, run.records);
                run.serveScene();
                break;
            case kRewire:
                // The mesh the host holds: its scene's, or the copy it kept, which it may edit in place.
                rewire(in, builder.bits, *run.host.mesh);
                break;
        }
    }
    fx_delete(fx);
    return 0;
}
