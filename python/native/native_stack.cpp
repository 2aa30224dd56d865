#include "native_stack.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

#include "kit/errors.h"
#include "reference/described_param.h"

namespace py = pybind11;

namespace {
std::mutex& libraryLock() {
    static std::mutex lock;
    return lock;
}

// Runs `fn` holding the library's lock, with the GIL released meanwhile.
template <class Fn>
auto locked(Fn&& fn) {
    const py::gil_scoped_release release;
    const std::lock_guard<std::mutex> lock(libraryLock());
    return fn();
}

// One number, or three for a point.
struct Value {
    int count = 0;
    double v[3] = {0, 0, 0};
};

Value valueOf(py::handle value) {
    const auto number = [](py::handle item, double& out) {
        if (py::isinstance<py::str>(item) || py::isinstance<py::bytes>(item) || !PyNumber_Check(item.ptr()))
            return false;
        out = PyFloat_AsDouble(item.ptr());
        if (out == -1.0 && PyErr_Occurred()) {
            PyErr_Clear();
            return false;
        }
        return true;
    };
    Value out;
    if (PySequence_Check(value.ptr()) && !py::isinstance<py::str>(value) && !py::isinstance<py::bytes>(value) &&
        PySequence_Size(value.ptr()) == 3) {
        const py::sequence items = py::reinterpret_borrow<py::sequence>(value);
        for (int k = 0; k < 3; ++k)
            if (!number(items[k], out.v[k])) refuseType("value", "a point takes three numbers x, y, z");
        out.count = 3;
        return out;
    }
    PyErr_Clear();  // the size of a sequence that has none
    if (!number(value, out.v[0]))
        refuseType("value", "expected a number (a flag or scalar) or three (a point), got " +
                                std::string(py::str(py::type::handle_of(value).attr("__name__"))));
    out.count = 1;
    return out;
}

std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(v));
    return text;
}

const HostParam* findParam(const std::vector<HostParam>& params, const std::string& name) {
    const auto found = std::find_if(params.begin(), params.end(), [&](const HostParam& p) { return p.name == name; });
    return found == params.end() ? nullptr : &*found;
}

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
    return out;
}
}  // namespace

NativeStack::NativeStack(const std::string& pluginPath, const std::vector<std::string>& effects, double fps)
    : fps_(fps) {
    if (!(fps > 0.0) || !std::isfinite(fps)) refuseValue("fps", "expected a positive number of frames a second");
    if (effects.size() > kMaxStackEffects) refuseValue("effects", stackTooLong(effects.size()));
    locked([&] {
        plugin_ = std::make_unique<Plugin>(pluginPath);
        catalogue_ = readCatalogue(*plugin_);
        for (const std::string& name : effects) names_.push_back(catalogueName(name));
        stack_ = std::make_unique<EffectStack>(*plugin_, catalogue_, names_);
    });
    bypassed_.assign(names_.size(), false);
}

std::vector<std::string> NativeStack::effectNames() const { return names_; }

std::string NativeStack::catalogueName(const std::string& key) const {
    try {
        return findEffect(catalogue_, key).name;
    } catch (const UsageError& error) {
        throw py::key_error(error.what());
    }
}

std::string NativeStack::paramsJson(size_t i) const {
    if (i >= names_.size()) throw py::index_error("effect " + std::to_string(i) + ": the stack holds " +
                                                  std::to_string(names_.size()));
    return locked([&] {
        nlohmann::json list = nlohmann::json::array();
        for (const DescribedParam& p : describe(stack_->params(i), findReference(names_[i]))) list.push_back(paramJson(p));
        return list.dump();
    });
}

void NativeStack::set(const std::string& name, py::handle value, int frame, std::optional<size_t> effect) {
    if (effect && *effect >= names_.size())
        throw py::index_error("effect " + std::to_string(*effect) + ": the stack holds " + std::to_string(names_.size()));
    const Value value_ = valueOf(value);
    for (int k = 0; k < value_.count; ++k)
        if (std::isfinite(value_.v[k]) && std::isinf(float(value_.v[k]))) {
            char text[32];
            std::snprintf(text, sizeof text, "%g", value_.v[k]);
            refuseValue("value", std::string(text) + " lies outside a float's range (3.4e38)");
        }
    locked([&] {
        if (started_ && frame > 0 && frame <= frame_)
            refuseValue("frame", "frame " + std::to_string(frame) + " has run already (start() runs again from frame 1)");
        Setting setting{frame, effect, name, {float(value_.v[0]), float(value_.v[1]), float(value_.v[2])}};
        std::vector<std::string> known;
        int found = 0;
        for (size_t i = 0; i < names_.size(); ++i) {
            if (effect && *effect != i) continue;
            for (const HostParam& p : stack_->params(i)) known.push_back(p.name);
            const HostParam* param = findParam(stack_->params(i), name);
            if (!param) continue;
            ++found;
            const int count = param->kind == ParamKind::Point ? 3 : 1;
            if (count != value_.count)
                refuseType("value", quoted(name) + " of " + names_[i] + " is a " + kindName(param->kind) + ": it takes " +
                                        (count == 3 ? "three numbers x, y, z" : "one number"));
            if (const std::string why = refusal(*param, setting.values); !why.empty()) refuseValue("value", why);
        }
        if (!found)
            throw py::key_error("no parameter " + quoted(name) + " in " + (effect ? names_[*effect] : joined(names_)) +
                                " (known: " + joined(known) + ")");
        settings_.push_back(setting);
        if (!started_ && frame == 0)
            for (const Assignment& a : assignments({setting})) apply(a);
    });
}

void NativeStack::bypass(size_t i, bool bypassed) {
    if (i >= names_.size())
        throw py::index_error("effect " + std::to_string(i) + ": the stack holds " + std::to_string(names_.size()));
    locked([&] {
        bypassed_[i] = bypassed;
        stack_->setBypassed(i, bypassed);
    });
}

std::vector<Assignment> NativeStack::assignments(const std::vector<Setting>& settings) const {
    std::vector<Assignment> out;
    for (const Setting& s : settings)
        for (size_t i = 0; i < names_.size(); ++i)
            if (!s.effect || *s.effect == i)
                if (const HostParam* param = findParam(stack_->params(i), s.name))
                    out.push_back(Assignment{s.frame, param, {s.values[0], s.values[1], s.values[2]}});
    return out;
}

void NativeStack::start() {
    locked([&] {
        stack_ = std::make_unique<EffectStack>(*plugin_, catalogue_, names_);
        for (size_t i = 0; i < bypassed_.size(); ++i) stack_->setBypassed(i, bypassed_[i]);
        assignments_ = assignments(settings_);
        stack_->start(assignments_);
        started_ = true;
        frame_ = 0;
    });
}

void NativeStack::advance(std::optional<double> time) {
    if (!started_) throw FrameOrderError("update before start(): the effects start from their first frame");
    const float t = time ? float(*time) : frameTime(frame_ + 1, fps_);
    if (!std::isfinite(t)) refuseValue("time", "expected a finite number of seconds");
    if (frame_ > 0 && !(t > lastTime_))
        throw FrameOrderError("time " + number(t) + " does not come after the last frame's " + number(lastTime_) +
                              ": the effects keep state from frame to frame, so frames go forwards only "
                              "(start() begins again)");
    ++frame_;
    lastTime_ = t;
    stack_->update(frame_, t, assignments_);
}

void NativeStack::update(std::optional<double> time) {
    locked([&] { advance(time); });
}

void NativeStack::process(Geometry& in, Geometry& out) {
    out.checkTarget(in);
    locked([&] {
        if (!started_) throw FrameOrderError("process before start(): the effects start from their first frame");
        in.serve(data_);
        stack_->process(data_);
        out.take(data_);
    });
}

void NativeStack::bake(Geometry& in, py::handle out, const std::string& kind, long frames) {
    const size_t count = in.pointCount(kind);
    const ArrayArgument target(out, "out", Element::Float32, 3, long(count), frames);
    target.requireWritable("out");
    for (long f = 0; f < frames; ++f) {
        locked([&] {
            advance(std::nullopt);
            in.serve(data_);
            stack_->process(data_);
            in.copyPoints(data_, kind, target.as<Vec3>() + size_t(f) * count);
        });
        if (PyErr_CheckSignals() != 0) throw py::error_already_set();  // Ctrl-C ends a long bake between frames
    }
}

std::vector<EffectTiming> NativeStack::timings() const {
    return locked([&] { return stack_->timings(); });
}

std::string catalogueJson(const std::string& pluginPath) {
    return locked([&] {
        const Plugin plugin(pluginPath);
        nlohmann::json rows = nlohmann::json::array();
        for (const CatalogueRow& row : readCatalogue(plugin)) {
            nlohmann::json j = {{"index", row.index}, {"name", row.name}, {"built", row.built},
                                {"description", row.description}, {"author", row.author}};
            if (const EffectReference* reference = findReference(row.name))
                j.update({{"title", reference->title}, {"does", reference->does}, {"gizmo", reference->gizmo}});
            rows.push_back(j);
        }
        return rows.dump();
    });
}
