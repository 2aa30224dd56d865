#include <algorithm>

#include "allocation_counter.h"
#include "float_agreement.h"
#include "deformers/fx_deformer.h"
#include "effect_harness.h"
#include "plugin/boundary.h"
#include "plugin/exports.h"
#include "scene/vec_math.h"

namespace {
// Moves every point by (1, 2, 3), or leaves it as it is; a rule without lanes.
struct ShiftRule {
    bool identity;
};
Vec3 movePoint(const ShiftRule& k, const Vec3& p) { return k.identity ? p : sum(p, {1, 2, 3}); }

// Counts its passes.
class ShiftEffect : public FxDeformer<FxEffect, ShiftEffect> {
public:
    const char* FX_THISCALL description() override { return "shift"; }
    const char* FX_THISCALL author() override { return "tests"; }
    void beginPass() { ++passes; }
    ShiftRule rule{false};
    int passes = 0;
};
using Shift = Boundary<ShiftEffect>;

// Two particles, an open and a closed curve, two triangles in z = 0 with uvs, face flags and stale normals.
Scene twoOfEach(bool normals) {
    Scene s;
    s.particles = {{{1, 2, 3}, 0xDEADBEEFu, 0x7FC00001u}, {{-4, 5, 6}, 0u, 0xFFFFFFFFu}};
    s.curves = {{{{0, 0, 0}, {3, 4, 0}, {3, 4, 0}}}, {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, true}};
    s.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    if (normals) s.normals.assign(4, {9, 9, 9});
    s.faces = {0, 1, 2, 1, 3, 2};
    s.uvFaces = {2, 1, 0, 0, 1, 2};
    s.uvs = {{0, 0}, {1, 0}, {0.5f, 1}};
    s.faceFlags = {0xA5A5A5A5u};
    return s;
}

// A registered Shift over its own scene, the host logging its calls.
struct Pass {
    explicit Pass(Scene s = twoOfEach(true)) : scene(std::move(s)) {
        effect->registerParams(&params);
        host.keepHanded = false;
        host.logCalls = true;
    }
    ~Pass() { effect->scalarDeletingDestructor(1); }
    Scene scene;
    SceneRecords records{scene};
    Shift* effect = new Shift();
    RecordingParamHost params;
    HostData host{records};
};

template <class T>
bool sameBytes(const HostVector<T>* copy, const std::vector<T>& host) {
    return count(copy) == host.size() && sameBits(copy->begin, host.data(), host.size());
}

// A mesh alone, with host normals.
Scene meshOnly(const std::vector<Vec3>& vertices, const std::vector<uint32_t>& faces = {}) {
    Scene s;
    s.vertices = vertices;
    s.normals.assign(vertices.size(), {0, 0, 1});
    s.faces = faces;
    return s;
}

// The normals an effect that never saw another mesh rebuilds for this one.
std::vector<Vec3> freshNormals(const std::vector<Vec3>& vertices, const std::vector<uint32_t>& faces) {
    Pass fresh(meshOnly(vertices, faces));
    fresh.effect->process(&fresh.host);
    return {fresh.host.handedMesh->normals->begin, fresh.host.handedMesh->normals->end};
}
}  // namespace

// All three on and offered is the order of every effect through the library.
TEST(Deformer, AsksForEachKindInOrderWhenItsFlagIsOn) {
    const struct { float particles, spline, mesh; bool offerParticles; std::vector<std::string> calls; } cases[] = {
        {0, 0, 1, true, {"hasMesh(true)", "getMesh", "setMesh"}},
        {1, 0, 1, false, {"hasParticles(false)", "hasMesh(true)", "getMesh", "setMesh"}},
        {0.49f, 0.5f, 0.49f, true, {"hasSpline(false)", "getSpline", "setSpline"}},
        {0.5f, 0.49f, 0.5f, true,
         {"hasParticles(false)", "getParticles", "setParticles", "hasMesh(false)", "getMesh", "setMesh"}},
    };
    for (const auto& c : cases) {
        Pass pass;
        pass.params["on particles [b]"] = c.particles;
        pass.params["on spline [b]"] = c.spline;
        pass.params["on mesh [b]"] = c.mesh;
        pass.host.offerParticles = c.offerParticles;
        EXPECT_FALSE(pass.effect->process(&pass.host));
        EXPECT_EQ(pass.host.calls, c.calls);
        EXPECT_EQ(pass.effect->passes, 1);
    }
}

TEST(Deformer, MovesTheCopiesPointsAndPassesTheRestThrough) {
    Pass pass(twoOfEach(false));
    pass.effect->process(&pass.host);
    const Particle* p = pass.host.handedParticles->particles->begin;
    EXPECT_TRUE(near(p[1].position, {-3, 7, 9}) && near(pass.scene.particles[1].position, {-4, 5, 6}));
    EXPECT_TRUE(p[0].aux0 == 0xDEADBEEFu && p[0].aux1 == 0x7FC00001u && p[1].aux0 == 0u && p[1].aux1 == 0xFFFFFFFFu);
    const Curve* curves = pass.host.handedSpline->curves->begin;
    EXPECT_TRUE(near(curves[0].points.begin[2], {4, 6, 3}) && !curves[0].closed && curves[1].closed);
    EXPECT_EQ(curves[0].segmentLengths.begin[1], 0.0001f);  // the moved equal points
    EXPECT_FLOAT_EQ(curves[1].length, float(2 + std::sqrt(2.0)));
    const Mesh& m = *pass.host.handedMesh;
    EXPECT_TRUE(near(m.vertices->begin[3], {2, 3, 3}) && near(pass.scene.vertices[3], {1, 1, 0}));
    EXPECT_TRUE(sameBytes(m.faces, pass.scene.faces) && sameBytes(m.uvFaces, pass.scene.uvFaces));
    EXPECT_TRUE(sameBytes(m.uvs, pass.scene.uvs) && m.faceFlags[0] == 0xA5A5A5A5u);
    EXPECT_EQ(m.normals, nullptr);  // the host's mesh has none

    pass.scene.normals.assign(4, {9, 9, 9});  // rebuilt from the faces, not taken from the host
    pass.records.publish();
    pass.effect->process(&pass.host);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(near(m.normals->begin[i], {0, 0, 1}));
    pass.scene.vertices[3] = {1, 1, 5};  // without host normals the copy's stay as they stand
    pass.scene.normals.clear();
    pass.scene.uvs.clear();
    pass.records.publish();
    pass.effect->process(&pass.host);
    EXPECT_TRUE(near(m.vertices->begin[3], {2, 3, 8}) && near(m.normals->begin[3], {0, 0, 1}));
    EXPECT_TRUE(m.uvs == nullptr && m.uvFaces == nullptr);
}

TEST(Deformer, SlotZeroFreesOnlyWithBitZeroWhichFxDeleteSets) {
    for (unsigned flags : {0u, 1u}) {
        FxEffect* effect = new Shift();
        const size_t before = deallocationCount();
        EXPECT_EQ(effect->scalarDeletingDestructor(flags), effect);
        EXPECT_EQ(deallocationCount() - before, flags);
        if (flags == 0) ::operator delete(effect);
    }
    const size_t before = deallocationCount();
    fx_delete(new Shift());  // with bit 0
    EXPECT_EQ(deallocationCount() - before, 1u);
}

TEST(Deformer, DestructionDeletesAStoredDisplayListOnce) {
    for (uint32_t list : {7u, kNoDisplayList}) {
        auto* pass = new Pass();
        pass->effect->process(&pass->host);
        pass->host.handedMesh->displayList = list;
        clearGlLog();
        delete pass;
        const std::vector<GlCall> deleted = glCalls("deleteLists");
        EXPECT_EQ(glLog().size(), list == kNoDisplayList ? 0u : 1u);
        EXPECT_TRUE(deleted.empty() || (deleted[0].mode == 7u && deleted[0].n == 1));
    }
}

// An identity rule hands back the host's points bit for bit; a second pass over
// the same sizes allocates nothing.
TEST(Deformer, AnIdentityPassKeepsEveryBitAndASecondAllocatesNothing) {
    Pass pass;
    pass.effect->rule.identity = true;
    HostData host{pass.records};  // logs nothing
    host.keepHanded = false;
    const size_t start = allocationCount();
    pass.effect->process(&host);
    const size_t first = allocationCount();
    pass.effect->process(&host);
    EXPECT_GT(first, start);
    EXPECT_EQ(allocationCount(), first);
    const Shift& e = *pass.effect;
    EXPECT_TRUE(sameBytes(e.particleCopy().particles, pass.scene.particles));
    EXPECT_TRUE(sameBytes(e.meshCopy().vertices, pass.scene.vertices));
    for (int c = 0; c < 2; ++c) {
        const Curve &copy = e.splineCopy().curves->begin[c], &from = pass.records.spline()->curves->begin[c];
        EXPECT_TRUE(sameBytes(&copy.points, pass.scene.curves[c].points) && copy.length == from.length);
        EXPECT_TRUE(sameBits(copy.segmentLengths.begin, from.segmentLengths.begin, 3));
    }
}

// What the pass keeps of the faces holds only while they stay the same. Frame after frame the faces
// change with the same counts (one naming vertex 4 twice, whose infinite point gives a NaN weighted
// normal), or the host writes other faces into the copy it was handed and hands that back: every normal
// is the one an effect that never saw the earlier faces rebuilds.
TEST(Deformer, NormalsFollowTheFacesFrameAfterFrame) {
    const struct { std::vector<uint32_t> faces; bool intoTheCopy; } frames[] = {
        {{0, 1, 2, 1, 3, 2}, false}, {{0, 1, 2, 1, 3, 2}, false}, {{0, 1, 3, 0, 3, 2}, false},
        {{0, 1, 3, 0, 3, 2}, false}, {{4, 4, 1, 0, 3, 2}, false}, {{0, 1, 2, 1, 3, 2}, true},
        {{0, 1, 3, 0, 3, 2}, true}};
    Pass kept(meshOnly({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}, {kInf, 0, 0}}));
    HostData host;  // keeps what it is handed as its current data
    host.offerParticles = host.offerSpline = false;
    for (const auto& frame : frames) {
        std::vector<Vec3> served = kept.scene.vertices;
        if (frame.intoTheCopy) {
            Mesh& copy = *host.handedMesh;
            std::copy(frame.faces.begin(), frame.faces.end(), copy.faces->begin);
            served.assign(copy.vertices->begin, copy.vertices->end);
        } else {
            kept.scene.faces = frame.faces;
            kept.records.publish();
            host.serve(kept.records);
        }
        kept.effect->process(&host);
        const std::vector<Vec3> want = freshNormals(served, frame.faces);
        const Vec3* got = host.handedMesh->normals->begin;
        for (size_t i = 0; i < want.size(); ++i)
            EXPECT_TRUE(sameFloat(got[i].x, want[i].x) && sameFloat(got[i].y, want[i].y) && sameFloat(got[i].z, want[i].z))
                << "frame of faces " << testing::PrintToString(frame.faces) << ", vertex " << i;
    }
}

// Every effect moves a curve's points as it moves particles at the same places, and measures them
// as the host measures its own curves, whatever the curves' lengths and their order: short ones
// are moved together, and a window of them may end anywhere. A second frame takes the curves in
// the other order, so each lands where another one was.
TEST(Deformer, CurvesOfEveryLengthMoveAsParticlesAndAreMeasuredAsTheHostMeasures) {
    Scene scene;
    scene.hasMesh = false;
    uint32_t seed = 7u;
    const auto coordinate = [&seed] { return float((seed = seed * 1664525u + 1013904223u) >> 8) / float(1 << 21) - 4.0f; };
    for (uint32_t c = 0; c < 1200; ++c) {
        SceneCurve curve;
        curve.closed = c % 3 == 0;
        const uint32_t n = c < 300 ? 15 : c % 97 == 5 ? 300 : c * 7 % 23;
        for (uint32_t i = 0; i < n; ++i)
            curve.points.push_back(i % 5 == 4 ? curve.points.back() : Vec3{coordinate(), coordinate(), coordinate()});
        scene.curves.push_back(curve);
    }
    for (int index = 0; index < kCatalogueSize; ++index) {
        SCOPED_TRACE(kCatalogue[index].name);
        Hosted<> hosted(index);
        if (!hosted.params.find("on spline")) continue;  // a spline it only follows
        hosted.fx->update(1.25f);
        for (int frame = 0; frame < 2; ++frame) {
            if (frame) std::reverse(scene.curves.begin(), scene.curves.end());
            scene.particles.clear();
            for (const SceneCurve& curve : scene.curves)
                for (const Vec3& p : curve.points) scene.particles.push_back({p, 0u, 0u});
            SceneRecords records(scene);
            HostData host(records);
            hosted.fx->process(&host);
            const Particle* moved = host.handedParticles->particles->begin;
            for (size_t c = 0; c < scene.curves.size(); ++c) {
                const Curve& got = host.handedSpline->curves->begin[c];
                const size_t n = scene.curves[c].points.size();
                std::vector<Vec3> want;
                for (size_t i = 0; i < n; ++i) want.push_back(moved[i].position);
                std::vector<float> lengths(n);
                const float length = measureCurve(want.data(), n, scene.curves[c].closed, lengths.data());
                // An open curve's last entry is left as it was: 0 in a new copy.
                const size_t measured = scene.curves[c].closed || frame == 0 ? n : n - (n > 0);
                moved += n;
                ASSERT_EQ(count(got.points), n);
                EXPECT_TRUE(sameBits(got.points.begin, want.data(), n) &&
                            sameBits(got.segmentLengths.begin, lengths.data(), measured) && sameFloat(got.length, length))
                    << "frame " << frame << ", curve " << c << " of " << n << " points";
            }
        }
    }
}
