// A stack of effects for Python, run as fxhost runs one: the plug-in loaded
// through its three exports, the host kit's effect stack, parameter values
// before the start and edits by frame, and frames strictly in order since
// the effects keep state from one to the next.
//
// The library runs on one thread at a time: every call into it (and every
// write into an effect's floats) holds one lock, taken with the GIL
// released, so other Python threads run meanwhile and two stacks never run
// at once.
#pragma once

#include <pybind11/pybind11.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "geometry.h"
#include "kit/effect_stack.h"

// Raised for a frame out of order: an update before start, or a time that does not go forwards.
struct FrameOrderError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class NativeStack {
public:
    // Throws KeyError for an unknown effect, ValueError for a bad fps.
    NativeStack(const std::string& pluginPath, const std::vector<std::string>& effects, double fps);

    std::vector<std::string> effectNames() const;
    // The catalogue name `key` stands for, as the constructor reads it; KeyError if none.
    std::string catalogueName(const std::string& key) const;
    double fps() const { return fps_; }
    // Updates since the last start (0: none yet); -1 before the first start.
    int frame() const { return started_ ? frame_ : -1; }
    // Effect i's parameters as a JSON list, as `fxhost params --format json` gives them.
    std::string paramsJson(size_t i) const;

    // Records a value: frame 0 before the start (written at once while the
    // stack has not started, and at every start), frame n before the n-th
    // update. effect: the stack's index, or every effect that has the name.
    void set(const std::string& name, pybind11::handle value, int frame, std::optional<size_t> effect);
    void bypass(size_t i, bool bypassed);

    // Fresh effects (as fxhost makes them), the values of frame 0, start.
    void start();
    // The next frame's update at `time` (by default frame / fps).
    void update(std::optional<double> time);
    // Serves `in`, processes every effect, writes the result into `out`.
    void process(Geometry& in, Geometry& out);
    // The next `frames` frames, update and process each, the points of `kind`
    // of each frame into out[f].
    void bake(Geometry& in, pybind11::handle out, const std::string& kind, long frames);

    // Per effect: its name, the frames it ran, its seconds in update and process.
    std::vector<EffectTiming> timings() const;

private:
    struct Setting {
        int frame;
        std::optional<size_t> effect;
        std::string name;
        float values[3];
    };
    std::vector<Assignment> assignments(const std::vector<Setting>& settings) const;
    void advance(std::optional<double> time);  // holds the lock

    std::unique_ptr<Plugin> plugin_;
    std::vector<CatalogueRow> catalogue_;
    std::vector<std::string> names_;  // as the catalogue names them
    double fps_;
    std::unique_ptr<EffectStack> stack_;
    std::vector<bool> bypassed_;
    std::vector<Setting> settings_;
    std::vector<Assignment> assignments_;  // the settings, on the stack that runs
    HostData data_;
    bool started_ = false;
    int frame_ = 0;
    float lastTime_ = 0.0f;
};

std::string catalogueJson(const std::string& pluginPath);
