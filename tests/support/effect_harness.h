// What the tests of the effects share: an effect of the catalogue driven the
// way the host drives it, parameter lists, point comparisons and the recorded
// gizmo.
#pragma once

#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "kit/recording_gl.h"
#include "plugin/catalogue.h"
#include "plugin/exports.h"
#include "test_host.h"

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A parameter by its full name and a value; "name [p3]" stands for the three
// parameters name [p3x], [p3y], [p3z] with the values x, y, z.
struct Param {
    std::string name;
    float x, y = 0, z = 0;
};
using Params = std::vector<Param>;
using Named = std::vector<std::pair<std::string, float>>;
Named expand(const Params& params);
// What the host saw, in order: each full name with the value its float held at `add`.
Named registered(const RecordingParamHost& host);

// Component by component within the tolerance; 0 asks for equal floats.
testing::AssertionResult near(Vec3 got, Vec3 want, double tolerance = 1e-6);

// One process over particles at these positions, with neither spline nor
// mesh offered; the positions handed back.
std::vector<Vec3> moveParticles(FxEffect* fx, const std::vector<Vec3>& points);

// An effect of the catalogue as the host holds it: created by its index (by
// default E's), registered, initialised, edited, then started.
template <class E = FxEffect>
struct Hosted {
    E* fx;
    RecordingParamHost params;
    explicit Hosted(int index, const Params& edits = {}) : fx(static_cast<E*>(fx_create(index, nullptr))) {
        fx->registerParams(&params);
        fx->init(0, 0);
        edit(edits);
        fx->start(0);
    }
    explicit Hosted(const Params& edits = {})
        requires(kIndexOf<E> >= 0)
        : Hosted(kIndexOf<E>, edits) {}
    ~Hosted() { fx_delete(fx); }
    void edit(const Params& edits) {
        for (const auto& [name, value] : expand(edits)) params[name] = value;
    }
    std::vector<Vec3> move(const std::vector<Vec3>& points) { return moveParticles(fx, points); }
    Vec3 move(Vec3 p) { return move(std::vector<Vec3>{p}).at(0); }
};

// One frame of an effect: `setup` edited before start, `edits` after it, an
// update at `time`, then `from` moved to `to`.
struct Frame {
    Params setup;
    Vec3 from, to;
    double tolerance = 1e-4;
    float time = 1;
    Params edits = {};
};

// A run of the lanes' agreement with the reference: `edit` after the random
// parameters of each round, points placed at `reach` distances from the
// point parameters too.
struct AgreementRun {
    const char* variant = "";
    void (*edit)(const RecordingParamHost& params, int round) = [](const RecordingParamHost&, int) {};
    std::vector<float> (*reach)(const FxEffect& fx) = [](const FxEffect&) { return std::vector<float>{}; };
};

// What the tests of every effect hold one effect to, registered by the
// effect's own test file.
struct Expected {
    const char* description;
    Params params;  // every parameter, in order, with its initial value
    std::vector<Frame> frames;
    bool draws = false;      // after the first frame
    const char* gizmo = "";  // what it draws then; null: not compared here
    std::vector<std::string> hostCalls = {};  // in each frame, when not every kind in order
    std::vector<AgreementRun> agreement = {{}};
};

// The parameters the bases and the clock register (inline: set before any test file's expectations).
inline const Params kDataFlags{{"on mesh [b]", 1}, {"on spline [b]", 1}, {"on particles [b]", 1}};
inline const Params kAxisFrame{{"orthogonal [b]", 1}, {"enable scale [b]", 1}, {"uniform scale [b]", 1},
                               {"center [p3]", 0, 0, 0}, {"axis x [p3]", 5, 0, 0}, {"axis y [p3]", 0, 5, 0},
                               {"axis z [p3]", 0, 0, 5}};
inline const Params kSpeedPhase{{"speed [s]", 0.75f}, {"phase [s]", 0.5f}};
Params operator+(Params a, const Params& b);

// Every effect's expectations by catalogue index, as its test file registers them: expect<Effect>({...}).
inline std::map<int, Expected>& expectations() {
    static std::map<int, Expected> registered;
    return registered;
}
template <class Effect>
bool expect(Expected expected) {
    static_assert(kIndexOf<Effect> >= 0, "the effect has no line in the catalogue");
    return expectations().emplace(kIndexOf<Effect>, std::move(expected)).second;
}

// The recorded OpenGL calls as "begin(1) color(0.9,0.1,0.1) vertex(0,0,0) ... end ".
std::string glTrace();
inline Vec3 xyz(const GlCall& c) { return {c.a, c.b, c.c}; }
