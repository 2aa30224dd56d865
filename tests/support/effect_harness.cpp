#include "effect_harness.h"

#include <cmath>
#include <cstdio>

Named expand(const Params& params) {
    Named out;
    for (const Param& p : params) {
        const std::string stem = p.name.substr(0, p.name.size() - 1);
        if (p.name.ends_with(" [p3]")) out.insert(out.end(), {{stem + "x]", p.x}, {stem + "y]", p.y}, {stem + "z]", p.z}});
        else out.push_back({p.name, p.x});
    }
    return out;
}

Named registered(const RecordingParamHost& host) {
    Named out;
    for (const Registration& r : host.registrations()) out.push_back({r.name, r.initial});
    return out;
}

testing::AssertionResult near(Vec3 got, Vec3 want, double tolerance) {
    const auto close = [tolerance](float a, float b) { return std::fabs(double(a) - b) <= tolerance; };
    if (close(got.x, want.x) && close(got.y, want.y) && close(got.z, want.z)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << got.x << ", " << got.y << ", " << got.z << ") is not (" << want.x
                                       << ", " << want.y << ", " << want.z << ") within " << tolerance;
}

std::vector<Vec3> moveParticles(FxEffect* fx, const std::vector<Vec3>& points) {
    Scene scene;
    for (const Vec3& p : points) scene.particles.push_back({p, 7u, 9u});
    SceneRecords records(scene);
    HostData host(records);
    host.offerSpline = host.offerMesh = false;
    EXPECT_FALSE(fx->process(&host));
    std::vector<Vec3> out;
    for (size_t i = 0; host.handedParticles && i < points.size(); ++i)
        out.push_back(host.handedParticles->particles->begin[i].position);
    return out;
}

std::string glTrace() {
    std::string out;
    char buf[96];
    for (const GlCall& c : glLog()) {
        std::snprintf(buf, sizeof buf, "%s(%g,%g,%g) ", c.op.c_str(), double(c.a), double(c.b), double(c.c));
        out += c.op == "begin" ? "begin(" + std::to_string(c.mode) + ") " : c.op == "end" ? "end " : buf;
    }
    return out;
}

Params operator+(Params a, const Params& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
