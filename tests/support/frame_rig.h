// An effect as the host leaves it before start (registered, initialised, then
// edited), and the comparisons the frame effects' tests share.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "recording_gl.h"
#include "test_host.h"

using Edits = std::vector<std::pair<std::string, float>>;  // full parameter name, new value

template <class Effect>
struct EffectRig {
    Effect fx;
    RecordingParamHost params;
    explicit EffectRig(const Edits& edits = {}) {
        fx.registerParams(&params);
        fx.init(0, 0);
        apply(edits);
    }
    void apply(const Edits& edits) {
        for (const auto& [name, value] : edits) params[name] = value;
    }
    Vec3 startAndMove(const Vec3& p, float time = 1.0f) {
        fx.start(0);
        fx.update(time);
        fx.beginPass();
        return fx.movePoint(p);
    }
};

inline void expectNear(const Vec3& got, const Vec3& want, float tolerance = 1e-4f) {
    EXPECT_NEAR(got.x, want.x, tolerance);
    EXPECT_NEAR(got.y, want.y, tolerance);
    EXPECT_NEAR(got.z, want.z, tolerance);
}

// The recorded OpenGL calls as "begin(1) color(0.9,0.1,0.1) vertex(0,0,0) ... end".
inline std::string glTrace() {
    std::string out;
    char buf[96];
    for (const GlCall& c : glLog()) {
        std::snprintf(buf, sizeof buf, "%s(%g,%g,%g) ", c.op.c_str(), double(c.a), double(c.b), double(c.c));
        out += c.op == "begin" ? "begin(" + std::to_string(c.mode) + ") " : c.op == "end" ? "end " : buf;
    }
    return out;
}

// Registered names, each "name [p3]" standing for its three coordinates.
inline std::vector<std::string> withPoints(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const std::string& n : names) {
        if (!n.ends_with(" [p3]")) out.push_back(n);
        else for (const char* axis : {"x]", "y]", "z]"}) out.push_back(n.substr(0, n.size() - 1) + axis);
    }
    return out;
}
