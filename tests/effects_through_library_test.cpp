// The built generic.fx as the host sees it: loaded with dlopen and driven only
// through its three exports and the effect table, by slot position.
#include <cstring>
#include <set>

#include "effect_harness.h"

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
}  // namespace

// Every effect of the catalogue held to what its own test file expects
// (effect_harness.h): its name, texts and parameters, and its frames.
TEST(EffectsThroughLibrary, EveryEffectAsTheHostDrivesIt) {
    const std::vector<std::string> everyKind = {"hasParticles(false)", "getParticles", "setParticles",
                                                "hasSpline(false)", "getSpline", "setSpline", "hasMesh(false)",
                                                "getMesh", "setMesh"};
    const auto lib = loadBuiltPlugin();
    ASSERT_TRUE(lib);
    for (int i = 0; i < kCatalogueSize; ++i) {
        const char* const listed = kCatalogue[i].name;
        SCOPED_TRACE(listed);
        ASSERT_TRUE(expectations().count(i)) << "its test file registers no expectations";
        const Expected* expected = &expectations().at(i);
        char name[40];
        std::memset(name, 'x', sizeof name);
        const Table fx{lib->create(i, name)}, other{lib->create(i, nullptr)};
        ASSERT_TRUE(fx.e && other.e && fx.e != other.e);
        EXPECT_STREQ(name, listed);
        EXPECT_EQ(name[std::strlen(listed) + 1], 'x') << "wrote past the terminator";
        struct { float field1; uint32_t field2; } fields;  // the host's, right after the table pointer
        std::memcpy(&fields, reinterpret_cast<const char*>(fx.e) + sizeof(void*), sizeof fields);
        EXPECT_TRUE(fields.field1 == -1.0f && fields.field2 == 0u);
        EXPECT_TRUE(fx.call<float>(7) == 0.0f && !fx.call<bool>(8) && fx.call<int32_t>(14) == 1 &&
                    fx.call<int32_t>(15) == 100 && !fx.call<bool>(16, 0u));
        EXPECT_STREQ(fx.call<const char*>(12), expected->description);
        EXPECT_EQ(fx.call<const char*>(12), other.call<const char*>(12));
        EXPECT_STREQ(fx.call<const char*>(13), "Brisel");
        lib->destroy(other.e);
        lib->destroy(fx.e);

        for (const Frame& frame : expected->frames) {
            const Table f{lib->create(i, nullptr)};
            RecordingParamHost params;
            f.call<void>(11, static_cast<FxParamHost*>(&params));
            EXPECT_EQ(registered(params), expand(expected->params));
            std::set<float*> floats;
            for (const Registration& r : params.registrations()) floats.insert(r.value);
            EXPECT_EQ(floats.size(), params.registrations().size()) << "two parameters share a float";
            EXPECT_TRUE(f.call<bool>(1, 0u, 0u));  // init
            for (const auto& [param, value] : expand(frame.setup)) params[param] = value;
            EXPECT_TRUE(f.call<bool>(2, 0u));  // start
            for (const auto& [param, value] : expand(frame.edits)) params[param] = value;
            f.call<void>(4, frame.time);

            Scene scene;
            scene.particles = {{frame.from, 7u, 8u}};
            scene.vertices = {frame.from};
            scene.curves = {{{{10, 0, 0}, {25, 0, 0}}}};
            SceneRecords records(scene);
            HostData host(records);
            host.logCalls = true;
            EXPECT_FALSE(f.call<bool>(5, static_cast<FxHostData*>(&host)));
            EXPECT_EQ(host.calls, expected->hostCalls.empty() ? everyKind : expected->hostCalls);
            ASSERT_TRUE(host.handedParticles && host.handedMesh);
            const Particle& moved = host.handedParticles->particles->begin[0];
            EXPECT_TRUE(near(moved.position, frame.to, frame.tolerance) && moved.aux0 == 7u && moved.aux1 == 8u)
                << "frame " << &frame - expected->frames.data();
            EXPECT_TRUE(near(host.handedMesh->vertices->begin[0], frame.to, frame.tolerance));
            if (&frame == expected->frames.data()) {
                clearGlLog();
                EXPECT_EQ(f.call<bool>(6), expected->draws);
                EXPECT_TRUE(!expected->gizmo || glTrace() == expected->gizmo) << glTrace();
            }
            lib->destroy(f.e);
        }
    }
    lib->destroy(nullptr);
}

TEST(EffectsThroughLibrary, DescribesTheLibraryAndNothingPastTheCatalogue) {
    const auto lib = loadBuiltPlugin();
    ASSERT_TRUE(lib);
    const char* info = lib->libinfo();
    EXPECT_EQ(info, lib->libinfo());
    EXPECT_STREQ(info,
                 "Tarvel standard generic effects library.\nThese effects are modifying all current "
                 "<b>3D data</b> (Part, Mesh and Spline).\nThese modifiers are <b>not exclusive</b>, if "
                 "there is more than one 3D data (eg Mesh and Spline), <b>each one</b> can be modified.");
    for (int index : {kCatalogueSize, kCatalogueSize + 1, -1, -2147483647 - 1}) {
        char buffer[32];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(lib->create(index, buffer), nullptr) << index;
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, 'x')) << index;
    }
}
