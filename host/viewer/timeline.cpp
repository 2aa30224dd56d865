#include "timeline.h"

#include <algorithm>

#include "../builtin_scene.h"
#include "../input_file.h"
#include "../obj_io.h"
#include "kit/errors.h"

Timeline::Timeline(const std::string& pluginPath)
    : plugin_(pluginPath), catalogue_(readCatalogue(plugin_)), source_(std::make_unique<Scene>(builtinScene())) {
    records_ = std::make_unique<SceneRecords>(*source_);
    restart();
    step(true);
}

void Timeline::loadScene(const std::string& path) {
    auto scene = std::make_unique<Scene>(path.empty() ? builtinScene() : loadObj(path));
    records_.reset();
    source_ = std::move(scene);
    records_ = std::make_unique<SceneRecords>(*source_);
    scenePath_ = path;
    replay();
}

void Timeline::add(const std::string& name) {
    const CatalogueRow& row = findEffect(catalogue_, name);
    if (!row.built) throw UsageError(row.name + " is not built");
    if (effects_.size() == kMaxStackEffects) throw UsageError(stackTooLong(effects_.size() + 1));
    effects_.push_back(SessionEffect{row.name, false});
    replay();
}

void Timeline::remove(size_t i) {
    if (i >= effects_.size()) return;
    effects_.erase(effects_.begin() + long(i));
    std::erase_if(settings_, [i](const ParamSetting& s) { return size_t(s.effectIndex) == i; });
    for (ParamSetting& s : settings_)
        if (size_t(s.effectIndex) > i) --s.effectIndex;
    replay();
}

void Timeline::move(size_t from, size_t to) {
    if (from >= effects_.size() || to >= effects_.size() || from == to) return;
    const SessionEffect moved = effects_[from];
    effects_.erase(effects_.begin() + long(from));
    effects_.insert(effects_.begin() + long(to), moved);
    // Every entry between the two places shifts by one towards `from`.
    for (ParamSetting& s : settings_) {
        const int k = s.effectIndex, f = int(from), t = int(to);
        if (k == f) s.effectIndex = t;
        else if (f < t && k > f && k <= t) --s.effectIndex;
        else if (t < f && k >= t && k < f) ++s.effectIndex;
    }
    replay();
}

void Timeline::setBypassed(size_t i, bool bypassed) {
    effects_.at(i).bypassed = bypassed;
    replay();
}

void Timeline::edit(size_t i, const std::string& name, const std::string& value, bool playing) {
    ParamSetting setting;
    setting.name = name;
    setting.value = value;
    setting.text = name + "=" + value;
    setting.where = setting.text;  // typed in the panel or a script, not on a command line
    const HostParam* param = nullptr;
    for (const HostParam& p : stack_->params(i))
        if (p.name == setting.name) param = &p;
    if (!param) throw UsageError(effects_.at(i).name + " has no parameter " + quoted(setting.name));
    setting.frame = std::min(playing ? frame_ + 1 : frame_, frames_);
    setting.effectIndex = int(i);
    setting.value = valueText(resolveSetting(setting, *param));
    setting.text = name + "=" + setting.value;
    // One value per parameter and frame: the last edit wins.
    std::erase_if(settings_, [&setting](const ParamSetting& s) {
        return s.frame == setting.frame && s.effectIndex == setting.effectIndex && s.name == setting.name;
    });
    settings_.push_back(setting);
    if (setting.frame <= frame_) {
        replay();
    } else {
        assignments_ = stack_->resolve(settings_, frames_);
    }
}

void Timeline::setFrames(int frames) {
    frames_ = std::max(1, frames);
    std::erase_if(settings_, [this](const ParamSetting& s) { return s.frame > frames_; });
    replay();
}

void Timeline::setFps(double fps) {
    if (fps > 0.0 && fps <= 1000.0) fps_ = fps;
    replay();
}

void Timeline::show(int frame) {
    frame = std::clamp(frame, 1, frames_);
    if (frame < frame_) restart();
    while (frame_ < frame) step(frame_ + 1 == frame);
}

void Timeline::replay() {
    const int frame = frame_;
    restart();
    show(frame);
}

const Scene& Timeline::current() {
    if (!currentValid_) current_ = sceneFromRecords(data_.mesh, data_.spline, data_.particles);
    currentValid_ = true;
    return current_;
}

void Timeline::refuseScene(const std::string& path, const std::string& what) const {
    if (!scenePath_.empty() && sameFile(path, scenePath_))
        throw RunError("saving " + what + " would overwrite the scene " + path);
}

void Timeline::saveFrame(const std::string& path) {
    refuseScene(path, "the frame");
    writeObjFile(current(), path);
}

Session Timeline::session() const {
    return Session{"", scenePath_, effects_, settings_, frames_, fps_, std::nullopt};
}

void Timeline::useSession(const Session& session) {
    const Session before = this->session();
    const std::string sceneBefore = scenePath_;
    try {
        for (const SessionEffect& e : session.effects) findEffect(catalogue_, e.name);
        effects_ = session.effects;
        settings_ = session.settings;
        frames_ = std::max(1, session.frames);
        fps_ = session.fps > 0.0 ? session.fps : 24.0;
        loadScene(session.scenePath);
    } catch (...) {
        effects_ = before.effects;
        settings_ = before.settings;
        frames_ = before.frames;
        fps_ = before.fps;
        restart();
        throw;
    }
}

void Timeline::restart() {
    std::vector<std::string> names;
    for (const SessionEffect& e : effects_) names.push_back(e.name);
    stack_.reset();  // the old effects go before the new ones come
    stack_ = std::make_unique<EffectStack>(plugin_, catalogue_, names);
    for (size_t i = 0; i < effects_.size(); ++i) stack_->setBypassed(i, effects_[i].bypassed);
    assignments_ = stack_->resolve(settings_, frames_);
    stack_->start(assignments_);
    frame_ = 0;
    data_.serve(*records_);
    currentValid_ = false;
    lastMs_.assign(effects_.size(), 0.0);
}

void Timeline::step(bool shown) {
    ++frame_;
    // A frame on the way to the one shown is offered the spline alone: a host may decline a kind, and
    // the effects keep no state of the mesh or the particles. This makes a scrub fast; the frame
    // shown still equals run's, byte for byte.
    data_.serve(shown ? records_->mesh() : nullptr, records_->spline(), shown ? records_->particles() : nullptr);
    const std::vector<EffectTiming> before = stack_->timings();
    stack_->runFrame(frame_, frameTime(frame_, fps_), data_, assignments_);
    const std::vector<EffectTiming> after = stack_->timings();
    for (size_t i = 0; i < after.size(); ++i) lastMs_[i] = 1000.0 * (after[i].seconds - before[i].seconds);
    currentValid_ = false;
}
