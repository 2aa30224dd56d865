// Drives an effect the way the host does: registered with a recording
// parameter host, started, then updated and passed over host data.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin_loader.h"
#include "recording_gl.h"
#include "test_host.h"

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
    if (std::fabs(got.x - want.x) <= tolerance && std::fabs(got.y - want.y) <= tolerance &&
        std::fabs(got.z - want.z) <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "got (" << got.x << ", " << got.y << ", " << got.z << "), want ("
                                       << want.x << ", " << want.y << ", " << want.z << ")";
}

inline Vec3 vertexAt(const GlCall& c) { return {c.a, c.b, c.c}; }

// What the built plug-in did for one effect, driven only through its
// exports and the effect table: created by index, registered, started,
// edited, updated, passed over `particles`, drawn and deleted.
struct PluginRun {
    std::string name, description, author;
    bool drawn = false;
    std::vector<Particle> particles;
};

template <class Edit>
PluginRun runThroughPlugin(int index, std::vector<Particle> particles, Edit edit) {
    PluginLoader lib;
    char name[32] = {};
    FxEffect* fx = lib.loaded() ? lib.create(index, name) : nullptr;
    if (!fx) {
        ADD_FAILURE() << "no effect at index " << index;
        return {};
    }
    RecordingParamHost params;
    fx->registerParams(&params);
    fx->start(0);
    edit(params);
    fx->update(1.0f);
    HostScene scene;
    scene.particles = particles;
    scene.publish();
    RecordingHostData data(scene);
    data.offerSpline = data.offerMesh = false;
    fx->process(&data);
    PluginRun run{name, fx->description(), fx->author(), fx->draw(), {}};
    const HostVector<Particle>& out = *data.handedParticles->particles;
    run.particles.assign(out.begin, out.end);
    lib.destroy(fx);
    return run;
}
