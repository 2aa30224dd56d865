// Drives an effect the way the host does: registered with a recording
// parameter host, started, then updated and passed over host data.
#pragma once

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin_loader.h"
#include "recording_gl.h"
#include "test_host.h"

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

template <class E>
struct Hosted {
    E fx{};
    RecordingParamHost params;
    Hosted() {
        fx.registerParams(&params);
        fx.start(0);
    }
    // The points through one pass, as mesh vertices.
    std::vector<Vec3> move(const std::vector<Vec3>& points) {
        HostScene scene;
        scene.vertices = points;
        scene.publish();
        RecordingHostData data(scene);
        data.offerParticles = data.offerSpline = false;
        EXPECT_FALSE(fx.process(&data));
        return {data.handedMesh->vertices->begin, data.handedMesh->vertices->end};
    }
    Vec3 move(Vec3 p) { return move(std::vector<Vec3>{p})[0]; }
};

// The three data flags, then `own`: full names and initial values, in order.
inline void expectRegistered(const RecordingParamHost& host, std::vector<std::pair<std::string, float>> own) {
    own.insert(own.begin(), {{"on mesh [b]", 1.0f}, {"on spline [b]", 1.0f}, {"on particles [b]", 1.0f}});
    ASSERT_EQ(host.calls.size(), own.size());
    for (size_t i = 0; i < own.size(); ++i) {
        EXPECT_EQ(host.calls[i].name, own[i].first);
        EXPECT_EQ(host.calls[i].initial, own[i].second) << own[i].first;
    }
}

inline testing::AssertionResult near(Vec3 got, Vec3 want, double tolerance) {
    const bool close = std::fabs(got.x - want.x) <= tolerance && std::fabs(got.y - want.y) <= tolerance &&
                       std::fabs(got.z - want.z) <= tolerance;
    return (close ? testing::AssertionSuccess() : testing::AssertionFailure())
           << "(" << got.x << ", " << got.y << ", " << got.z << ") for (" << want.x << ", " << want.y << ", " << want.z << ")";
}

inline Vec3 xyz(const GlCall& c) { return {c.a, c.b, c.c}; }

// The built plug-in, driven only through its exports and the effect table:
// the effect at `index` is created, registered, started, edited, updated,
// passed over one particle, drawn and deleted.
struct PluginRun {
    std::string name, description;
    bool drawn = false;
    Particle moved{};
};

template <class Edit>
PluginRun runThroughPlugin(int index, Vec3 particle, Edit edit) {
    PluginLoader lib;
    char name[32] = {};
    FxEffect* fx = lib.loaded() ? lib.create(index, name) : nullptr;
    if (!fx) {
        ADD_FAILURE() << "no effect at " << index;
        return {};
    }
    RecordingParamHost params;
    fx->registerParams(&params);
    fx->start(0);
    edit(params);
    fx->update(1.0f);
    HostScene scene;
    scene.particles = {{particle, 7u, 8u}};
    scene.publish();
    RecordingHostData data(scene);
    fx->process(&data);
    PluginRun run{name, fx->description(), fx->draw(), data.handedParticles->particles->begin[0]};
    EXPECT_STREQ(fx->author(), "Brisel");
    EXPECT_EQ(run.moved.aux1, 8u);
    lib.destroy(fx);
    return run;
}
