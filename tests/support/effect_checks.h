// Small checks shared by the effect tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fx/abi.h"
#include "test_host.h"

// Runs one process over particles at these positions; returns the positions handed back.
inline std::vector<Vec3> processParticles(FxEffect* effect, const std::vector<Vec3>& positions) {
    HostScene scene;
    for (const Vec3& p : positions) scene.particles.push_back({p, 0u, 0u});
    scene.publish();
    RecordingHostData host(scene);
    host.offerSpline = host.offerMesh = false;
    effect->process(&host);
    std::vector<Vec3> out;
    for (size_t i = 0; host.handedParticles && i < positions.size(); ++i)
        out.push_back(host.handedParticles->particles->begin[i].position);
    return out;
}

inline void expectNear(Vec3 got, Vec3 want, const std::string& what, float tolerance = 1e-4f) {
    EXPECT_NEAR(got.x, want.x, tolerance) << what;
    EXPECT_NEAR(got.y, want.y, tolerance) << what;
    EXPECT_NEAR(got.z, want.z, tolerance) << what;
}

// The full names the host saw, in order, each with its initial value.
inline void expectRegistered(const RecordingParamHost& params,
                             const std::vector<std::pair<std::string, float>>& want) {
    ASSERT_EQ(params.calls.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(params.calls[i].name, want[i].first) << i;
        EXPECT_EQ(params.calls[i].initial, want[i].second) << want[i].first;
    }
}
