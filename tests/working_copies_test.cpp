// The particle, mesh and spline working copies on their own.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>

#include "effect_harness.h"
#include "float_agreement.h"
#include "scene/geometry_rules.h"
#include "scene/host_vector.h"
#include "scene/mesh_copy.h"
#include "scene/normal_plan.h"
#include "scene/particle_copy.h"
#include "scene/spline_copy.h"
#include "scene/vec_math.h"

namespace {
const Vec3 o{0, 0, 0};
const std::vector<Vec3> kUnitSquare{o, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
}  // namespace

TEST(HostVectorCount, NullBeginIsEmptyWhateverTheOtherPointers) {
    Vec3 storage[4];
    EXPECT_EQ(count(HostVector<Vec3>{7u, storage, storage + 3, storage + 4}), 3u);
    EXPECT_EQ(count(HostVector<Vec3>{7u, nullptr, storage + 3, storage + 4}), 0u);
    EXPECT_EQ(count(static_cast<const HostVector<Vec3>*>(nullptr)), 0u);
}

TEST(ParticleCopy, OneBlockBitForBitInStorageThatIsKept) {
    std::vector<Particle> host = {{{1.0f, -2.0f, 3.5f}, 0xDEADBEEFu, 0xFFFFFFFFu},
                                  {{-0.0f, 1e-40f, 7.0f}, 0x7FC00001u, 0u},
                                  {{0.0f, 0.0f, 0.0f}, 1u, 0x80000000u}};
    HostVector<Particle> array = viewOf(host);
    ParticleSet copy{nullptr};
    const auto sameAsHost = [&] { return sameBits(copy.particles->begin, host.data(), 3); };
    copyFrom(copy, ParticleSet{&array});
    EXPECT_TRUE(count(copy.particles) == 3u && sameAsHost());
    const Particle* storage = copy.particles->begin;
    array.end = array.begin + 2;  // fewer particles, then as many again
    copyFrom(copy, ParticleSet{&array});
    EXPECT_EQ(count(copy.particles), 2u);
    array.end = array.begin + 3;
    copyFrom(copy, ParticleSet{&array});
    EXPECT_TRUE(copy.particles->begin == storage && sameAsHost());
    resize(copy, 50);  // growing keeps the leading particles
    EXPECT_TRUE(count(copy.particles) == 50u && sameAsHost());
    release(copy);
    release(copy);
    EXPECT_EQ(copy.particles, nullptr);
    // An empty or absent host array releases the copy.
    HostVector<Particle> empty{0u, nullptr, nullptr, nullptr};
    for (HostVector<Particle>* emptied : {&empty, static_cast<HostVector<Particle>*>(nullptr)}) {
        copyFrom(copy, ParticleSet{&array});
        copyFrom(copy, ParticleSet{emptied});
        EXPECT_EQ(copy.particles, nullptr);
    }
}

TEST(MeshCopy, FaceFlagsStartOverAsOnesOnlyWhenTheFaceCountChanges) {
    Mesh copy = kEmptyMesh;
    resize(copy, 3, 10, 0);  // 10 faces: 2 words
    EXPECT_TRUE((copy.faceFlags[0] & copy.faceFlags[1]) == 0xFFFFFFFFu && copy.faces->begin[29] == 0u);
    copy.faceFlags[0] = 0x12345678u;
    resize(copy, 5, 10, 4);
    EXPECT_EQ(copy.faceFlags[0], 0x12345678u);
    resize(copy, 5, 9, 4);
    EXPECT_EQ(copy.faceFlags[0], 0xFFFFFFFFu);
    release(copy);
}

TEST(SplineCopy, LengthsCountZeroSegmentsAndTheClosingOneOnlyWhenClosed) {
    Scene host;
    host.curves = {{{{1, 2, 3}}}, {{{1, 2, 3}}, true}, {{o, o, {3, 4, 0}}}, {kUnitSquare, true}, {{o, {3, 4, 0}}}};
    SceneRecords records(host);
    const Spline& spline = *records.spline();
    Spline copy{nullptr};
    copyFrom(copy, spline, true, false);
    ASSERT_EQ(count(copy.curves), 5u);
    const std::vector<float> want[] = {{0}, {0.0001f}, {0.0001f, 5, 0}, {1, 1, 1, 1}, {5, 0}};
    const float length[] = {0, 0.0001f, 5.0001f, 4, 5};
    for (int c = 0; c < 5; ++c) {
        Curve& curve = copy.curves->begin[c];
        updateLengths(curve);
        EXPECT_EQ(std::vector<float>(curve.segmentLengths.begin, curve.segmentLengths.end), want[c]) << c;
        EXPECT_FLOAT_EQ(curve.length, length[c]) << c;
    }
    Curve& open = copy.curves->begin[4];  // its last entry is neither written nor counted
    open.segmentLengths.begin[1] = 7;
    updateLengths(open);
    EXPECT_TRUE(open.segmentLengths.begin[1] == 7.0f && open.length == 5.0f);
    // An absent or empty host curve array leaves no copy.
    HostVector<Curve> none{};
    for (Spline empty : {Spline{nullptr}, Spline{&none}}) {
        copyFrom(copy, spline, true, false);
        copyFrom(copy, empty, true, false);
        EXPECT_EQ(copy.curves, nullptr);
    }
}

TEST(SplineCopy, ResamplesEvenlyByTheStoredArcLength) {
    const struct { std::vector<Vec3> points; bool closed; uint32_t count; std::vector<Vec3> want; } cases[] = {
        {{o, {10, 0, 0}}, false, 3, {o, {5, 0, 0}, {10, 0, 0}}},
        {{o, {10, 0, 0}}, false, 2, {o, {10, 0, 0}}},  // the last sample lands exactly on the end
        {{o, {10, 0, 0}}, false, 1, {o}},
        {{o, {10, 0, 0}}, false, 0, {}},
        {{{1, 1, 1}}, false, 4, {}},
        {kUnitSquare, true, 2, {o, o}},
        {kUnitSquare, true, 1, {o}},
        // Step 4/3 carried across corners; the closing side is never walked.
        {kUnitSquare, true, 5, {o, {1, 1 / 3.0f, 0}, {1 / 3.0f, 1, 0}, o}},
    };
    HostVector<Vec3> out{};  // reused: each call starts it over
    for (const auto& c : cases) {
        Scene host;
        host.curves = {{c.points, c.closed}};
        SceneRecords records(host);
        resampleCurve(*records.spline(), 0, c.count, out);
        ASSERT_EQ(count(out), c.want.size()) << c.count;
        for (size_t i = 0; i < c.want.size(); ++i) EXPECT_TRUE(near(out.begin[i], c.want[i])) << i;
    }
    // Sampling stops at the maximum count; no sample from a NaN length on.
    Scene host;
    host.curves = {{{o, {10, 0, 0}, {20, 0, 0}}}};
    SceneRecords records(host);
    Curve& curve = records.spline()->curves->begin[0];
    resize(out, 0);
    sampleEvenly(curve, 0, 0.0f, 1.0f, 2, out);  // the first segment alone holds ten
    EXPECT_TRUE(count(out) == 2u && near(out.begin[0], {1, 0, 0}) && near(out.begin[1], {2, 0, 0}));
    resize(out, 0);
    sampleEvenly(curve, 0, 0.0f, 1e-30f, 3, out);  // too many steps to count
    EXPECT_EQ(count(out), 3u);
    resize(out, 0);
    curve.segmentLengths.begin[0] = kNaN;
    sampleEvenly(curve, 0, 0.0f, 1.0f, 5, out);
    EXPECT_EQ(count(out), 0u);
    freeStorage(out);
}

namespace {
// The rebuild as first written: faceArea times faceNormal per face, summed per corner, normalised once.
std::vector<Vec3> straightforwardNormals(const Mesh& m) {
    std::vector<Vec3> n(count(m.vertices), Vec3{0, 0, 0});
    for (uint32_t i = 0; i < faceCount(m); ++i) {
        const Vec3 w = scaled(faceNormal(m, i, false), faceArea(m, i));
        for (int j = 0; j < 3; ++j) addTo(n[m.faces->begin[3 * i + j]], w);
    }
    for (Vec3& v : n) normalize(v);
    return n;
}

// A w x h grid over a wave, its faces in rows or shuffled, then `spare` vertices that no face uses.
Scene grid(uint32_t w, uint32_t h, bool shuffled, uint32_t spare, std::mt19937& random) {
    Scene s;
    for (uint32_t i = 0; i < w * h + spare; ++i)
        s.vertices.push_back({float(i % w), float(i / w), float(std::sin(0.3 * (i % w)) * std::cos(0.2 * (i / w)))});
    std::vector<std::array<uint32_t, 3>> faces;
    for (uint32_t a = 0; a + w < w * h; ++a)
        if (a % w + 1 < w) faces.insert(faces.end(), {{a, a + 1, a + w}, {a + 1, a + w + 1, a + w}});
    if (shuffled) std::shuffle(faces.begin(), faces.end(), random);
    for (const auto& f : faces) s.faces.insert(s.faces.end(), f.begin(), f.end());
    return s;
}
}  // namespace

// Random meshes (ordinary faces, bases near the 0.001 threshold, corners named twice, NaN, infinite and
// huge coordinates whose squares overflow) and grids, in rows (the plan's ring wraps round) and shuffled
// (the plan sorts them), with vertices no face uses: the rebuild in face order and along a plan, on every
// instruction set this processor runs, gives the straightforward floats bit for bit.
TEST(MeshCopy, NormalsMatchTheStraightforwardRebuildBitForBit) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::vector<Scene> meshes;
    for (int round = 0; round <= 40; ++round) {
        Scene& s = meshes.emplace_back();
        const uint32_t n = round < 40 ? 30 + round * 10 : 13000;  // the last one's ring takes 32-bit slots
        for (uint32_t i = 0; i < n; ++i) {
            const float scale = i % 7 == 0 ? 1e-4f : i % 11 == 0 ? 3e19f : i % 29 == 0 ? kInf : 10.0f;
            s.vertices.push_back({scale * unit(random), i % 31 == 0 ? kNaN : scale * unit(random), scale * unit(random)});
        }
        // A face whose base squared is the float 1e-6f, just below 1e-6.
        s.vertices[0] = {0, 0, 1};
        s.vertices[1] = {0, 0, 0};
        s.vertices[2] = {0.0006f, 0.0008f, 0};
        s.faces = {0, 1, 2};
        std::uniform_int_distribution<uint32_t> corner(3, n - 1);
        for (uint32_t i = 0; i < 3 * n + round % 8; ++i) {
            const uint32_t a = corner(random), b = i % 5 == 0 ? a : corner(random);
            s.faces.insert(s.faces.end(), {a, b, i % 9 == 0 ? a : corner(random)});
        }
    }
    // Vertices that need 513 faces of the ring, just past a power of two.
    meshes.push_back(grid(124, 8, false, 0, random));
    meshes.push_back(grid(101, 100, true, 13, random));
    for (InstructionSet set : kInstructionSets) {
        const GeometryRules* rules = geometryRulesFor(set);
        if (!rules) continue;
        Agreement inFaceOrder, alongPlan;
        for (Scene& s : meshes) {
            const uint32_t n = uint32_t(s.vertices.size()), faces = uint32_t(s.faces.size() / 3);
            SceneRecords records(s);
            const std::vector<Vec3> want = straightforwardNormals(*records.mesh());
            std::vector<Vec3> normals(n, Vec3{0, 0, 0}), planned(n, Vec3{7, 7, 7});
            rules->addFaceNormals(s.vertices.data(), s.faces.data(), faces, normals.data());
            rules->normalizeAll(normals.data(), n);
            KeptNormalPlan kept;
            const NormalPlan* plan = kept.planFor(s.faces.data(), faces, n);
            ASSERT_NE(plan, nullptr);
            EXPECT_TRUE(&s != &meshes.back() || plan->faces) << "the shuffled grid is computed sorted";
            EXPECT_TRUE(&s != &meshes[40] || plan->slots) << "the largest random mesh's slots are 32-bit";
            rules->rebuildNormals(*plan, s.vertices.data(), s.faces.data(), planned.data());
            for (uint32_t i = 0; i < n; ++i) {
                inFaceOrder.add(want[i], normals[i]);
                alongPlan.add(want[i], planned[i]);
            }
        }
        EXPECT_EQ(inFaceOrder.identical, inFaceOrder.values) << int(set) << ": " << inFaceOrder.maxUlp << " ulp";
        EXPECT_EQ(alongPlan.identical, alongPlan.values) << int(set) << ": " << alongPlan.maxUlp << " ulp";
    }
}

// Curves of every length from 0 to 40 points, open and closed, with repeated points: every instruction set's
// segments are those a host's records carry, bit for bit. (The pass's sums, curves side by side, are held to
// the host's in deformer_test.cpp.)
TEST(SplineCopy, EveryInstructionSetMeasuresSegmentsAsTheHostDoes) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> coordinate(-100.0f, 100.0f);
    Scene host;
    for (int c = 0; c <= 40; ++c) {
        std::vector<Vec3>& p = host.curves.emplace_back(SceneCurve{{}, c % 3 == 0}).points;
        for (int i = 0; i < c; ++i)
            p.push_back(i % 9 == 4 ? p.back() : Vec3{coordinate(random), coordinate(random), coordinate(random)});
    }
    SceneRecords records(host);
    const Curve* want = records.spline()->curves->begin;
    const auto lengths = [](const Curve& c) {
        return std::vector<float>(c.segmentLengths.begin, c.segmentLengths.begin + count(c.points));
    };
    for (InstructionSet set : kInstructionSets)
        if (const GeometryRules* rules = geometryRulesFor(set))
            for (size_t c = 2; c < host.curves.size(); ++c) {
                std::vector<float> got(c);
                rules->segmentLengths(host.curves[c].points.data(), uint32_t(c), got.data());
                got.back() = lengths(want[c]).back();  // the closing segment or 0: not a segment between points
                EXPECT_EQ(got, lengths(want[c])) << int(set) << " curve " << c;
            }
}
