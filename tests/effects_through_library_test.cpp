// The built generic.fx as the host sees it: loaded with dlopen and driven only
// through its three exports and the effect table, by slot position.
#include <cmath>
#include <cstring>
#include <set>

#include "effect_harness.h"
#include "plugin_loader.h"

namespace {
// Calls slot i of the effect's table with the object as the hidden first
// argument, in the host's member calling convention (thiscall on Win32, which
// GCC applies to a plain function pointer too, with a pedantic warning).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
struct Table {
    FxEffect* e;
    template <class R, class... A>
    R call(int slot, A... args) const {
        using Slot = R(FX_THISCALL*)(FxEffect*, A...);
        return reinterpret_cast<Slot>((*reinterpret_cast<void***>(e))[slot])(e, args...);
    }
};
#pragma GCC diagnostic pop

// One row per catalogue index: the name written, the texts, what draw answers
// and draws (null: not compared here), and one point moved after `edits` and
// an update. The parameters each registers, in order with their initial
// values, are fxhost_params's.
struct Row {
    const char *name, *description;
    bool draws;
    const char* gizmo;
    Params edits;
    float time;
    Vec3 from, to;
    double tolerance;
};
const float c5 = std::cos(0.5f), s5 = std::sin(0.5f);
const char* const kHarmonikText = "Deforms points of current 3d objects in a spherical harmonikal way.";
const Row kRows[] = {
    {"GenericHarmonik", kHarmonikText, false, "", {}, 1, {0, 2, 0}, {0, 1.6097887f, 0},
     1e-5},  // scaled by 1 - 0.2 (sin(0.4 pi) + 1) / 2
    {"GenericTwist", "Twists points of current 3d objects.", false,
     "begin(1) color(0.9,0.1,0.1) vertex(0,-100,0) vertex(0,100,0) end begin(1) color(0.9,0.1,0.1) vertex(0,0,0) "
     "vertex(0,5,0) color(0.1,0.9,0.1) vertex(0,0,0) vertex(5,0,0) color(0.1,0.1,0.9) vertex(0,0,0) vertex(0,0,5) end ",
     {}, 5, {1, 1, 0}, {c5, 1, s5}, 1e-4},
    {"GenericMagnet", "Attracts or repulses points of current 3d objects.", true, nullptr, {{"range multiply", 2}}, 1,
     {1.5f, 2, 0}, {0.0054552597f, 0.0072736796f, 0}, 2e-6},  // 10 (1/4)^5.0515
    {"GenericElipsoid", kHarmonikText, false, "", {}, 1, {2, 2, 2}, {1.75765f, 1.75765f, 1.75765f}, 2e-5},
    {"_GenericCosine", "FIXME", false,
     "begin(1) color(0.9,0.1,0.1) vertex(0,0,0) vertex(5,0,0) color(0.1,0.9,0.1) vertex(0,0,0) vertex(0,5,0) "
     "color(0.1,0.1,0.9) vertex(0,0,0) vertex(0,0,5) end ",
     {}, 5, {1, 2, -3}, {1 + c5, 2 + std::cos(1.0f), -3 + std::cos(1.5f)}, 1e-4},  // after one whole turn
    {"_GenericTranslate", "Translates the points of 3d objects.", true, nullptr, {{"origin [p3]", 0, 0, -1}}, 1,
     {1, 2, 3}, {1, 12, 2}, 0},  // the origin drags the translation
    {"_GenericTranslateFromSpline", "Translates the points of 3d objects, following current spline.", false, "", {},
     0.7f, {1, 2, 3}, {12, 2, 3}, 0},  // 0.07 of 16 samples one unit apart from (10, 0, 0)
    {"_GenericScale", "Scales the points of 3d objects.", false, "", {{"size z [s]", 0.75f}}, 1, {1, 2, 3},
     {10, 20, 30}, 2e-5},  // the link carries z to x and y
    {"_GenericRotate", "Rotates the points of 3d objects.", true, nullptr, {{"speed [s]", 1}}, 0.05f, {1, 0, 0},
     {0, 0, -1}, 1e-4},  // the wide curve: 5 turns per unit
};
}  // namespace

TEST(EffectsThroughLibrary, EveryEffectAsTheHostDrivesIt) {
    const std::vector<std::string> everyKind = {"hasParticles(false)", "getParticles", "setParticles",
                                                "hasSpline(false)", "getSpline", "setSpline", "hasMesh(false)",
                                                "getMesh", "setMesh"},
                                   alongSpline = {"hasSpline(true)", "getSpline", "hasParticles(false)",
                                                  "getParticles", "setParticles", "hasMesh(false)", "getMesh",
                                                  "setMesh"};  // reads the spline first, never hands it back
    PluginLoader lib;
    ASSERT_TRUE(lib.loaded());
    for (int i = 0; i < kCatalogueSize; ++i) {
        const Row& row = kRows[i];
        SCOPED_TRACE(row.name);
        char name[40];
        std::memset(name, 'x', sizeof name);
        const Table fx{lib.create(i, name)}, other{lib.create(i, nullptr)};
        ASSERT_TRUE(fx.e && other.e && fx.e != other.e);
        EXPECT_STREQ(name, row.name);
        EXPECT_EQ(name[std::strlen(row.name) + 1], 'x') << "wrote past the terminator";
        struct { float field1; uint32_t field2; } fields;  // the host's, right after the table pointer
        std::memcpy(&fields, reinterpret_cast<const char*>(fx.e) + sizeof(void*), sizeof fields);
        EXPECT_TRUE(fields.field1 == -1.0f && fields.field2 == 0u);
        EXPECT_TRUE(fx.call<float>(7) == 0.0f && !fx.call<bool>(8) && fx.call<int32_t>(14) == 1 &&
                    fx.call<int32_t>(15) == 100 && !fx.call<bool>(16, 0u));
        EXPECT_STREQ(fx.call<const char*>(12), row.description);
        EXPECT_EQ(fx.call<const char*>(12), other.call<const char*>(12));
        EXPECT_STREQ(fx.call<const char*>(13), "Brisel");

        RecordingParamHost params;
        fx.call<void>(11, static_cast<FxParamHost*>(&params));
        std::set<float*> floats;
        for (const Registration& r : params.calls) floats.insert(r.value);
        EXPECT_EQ(floats.size(), params.calls.size()) << "two parameters share a float";
        EXPECT_TRUE(fx.call<bool>(1, 0u, 0u) && fx.call<bool>(2, 0u));  // init, start
        for (const auto& [param, value] : expand(row.edits)) params[param] = value;
        fx.call<void>(4, row.time);

        HostScene scene;
        scene.particles = {{row.from, 7u, 8u}};
        scene.vertices = {row.from};
        scene.curves = {{{10, 0, 0}, {25, 0, 0}}};
        scene.publish();
        RecordingHostData host(scene);
        EXPECT_FALSE(fx.call<bool>(5, static_cast<FxHostData*>(&host)));
        EXPECT_EQ(host.calls, i == kIndexOf<GenericTranslateFromSpline> ? alongSpline : everyKind);
        ASSERT_TRUE(host.handedParticles && host.handedMesh);
        const Particle& moved = host.handedParticles->particles->begin[0];
        EXPECT_TRUE(near(moved.position, row.to, row.tolerance) && moved.aux0 == 7u && moved.aux1 == 8u);
        EXPECT_TRUE(near(host.handedMesh->vertices->begin[0], row.to, row.tolerance));
        clearGlLog();
        EXPECT_EQ(fx.call<bool>(6), row.draws);
        EXPECT_TRUE(!row.gizmo || glTrace() == row.gizmo) << glTrace();

        lib.destroy(fx.e);
        lib.destroy(other.e);
    }
    lib.destroy(nullptr);
}

TEST(EffectsThroughLibrary, DescribesTheLibraryAndNothingPastTheCatalogue) {
    PluginLoader lib;
    ASSERT_TRUE(lib.loaded());
    const char* info = lib.libinfo();
    EXPECT_EQ(info, lib.libinfo());
    EXPECT_STREQ(info,
                 "Tarvel standard generic effects library.\nThese effects are modifying all current "
                 "<b>3D data</b> (Part, Mesh and Spline).\nThese modifiers are <b>not exclusive</b>, if "
                 "there is more than one 3D data (eg Mesh and Spline), <b>each one</b> can be modified.");
    for (int index : {kCatalogueSize, kCatalogueSize + 1, -1, -2147483647 - 1}) {
        char buffer[32];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(lib.create(index, buffer), nullptr) << index;
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, 'x')) << index;
    }
}
