// What the viewer shows, without the window: a scene, a stack of effects and
// the edits made to their parameters by frame. Effects keep state from frame
// to frame, so a frame is shown by restarting the stack and running frames
// 1..n with every edit in its frame: what `fxhost run` computes for frame n.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../session.h"
#include "kit/effect_stack.h"
#include "kit/host_data.h"
#include "kit/plugin_loader.h"
#include "kit/scene.h"

class Timeline {
public:
    explicit Timeline(const std::string& pluginPath);  // throws RunError

    const std::vector<CatalogueRow>& catalogue() const { return catalogue_; }

    // The current scene stays when the file cannot be read (RunError).
    void loadScene(const std::string& path);
    const std::string& scenePath() const { return scenePath_; }
    // Throws RunError when `path` names the scene's file: saving `what` there would overwrite it.
    void refuseScene(const std::string& path, const std::string& what) const;
    Bounds sourceBounds() const { return boundsOf(*source_); }

    size_t size() const { return effects_.size(); }
    const SessionEffect& effect(size_t i) const { return effects_.at(i); }
    const std::vector<HostParam>& params(size_t i) const { return stack_->params(i); }
    void add(const std::string& name);  // throws UsageError
    void remove(size_t i);
    void move(size_t from, size_t to);
    void setBypassed(size_t i, bool bypassed);

    // NAME=VALUE for effect i, as `--set` takes it (UsageError when refused).
    // It holds from the frame shown when paused (which is shown again), from
    // the next frame while playing.
    void edit(size_t i, const std::string& name, const std::string& value, bool playing);

    int frame() const { return frame_; }
    int frames() const { return frames_; }
    double fps() const { return fps_; }
    void setFrames(int frames);  // edits past the end go
    void setFps(double fps);
    // Clamped to 1..frames(); going forward runs only the frames between.
    void show(int frame);

    const Scene& current();  // the data the shown frame's effects handed back
    void drawGizmos() { stack_->drawGizmos(); }
    std::vector<double> msPerEffect() const { return lastMs_; }  // of the last frame run
    void saveFrame(const std::string& path);  // as `run` writes frame_NNNN.obj

    Session session() const;
    void useSession(const Session& session);  // throws; keeps the current state when refused

private:
    void restart();  // a new stack, started, before frame 1
    void replay();   // the shown frame again, after a change
    void step(bool shown);

    const Plugin plugin_;
    const std::vector<CatalogueRow> catalogue_;
    std::string scenePath_;
    std::unique_ptr<Scene> source_;  // the records point into it
    std::unique_ptr<SceneRecords> records_;
    std::vector<SessionEffect> effects_;
    std::vector<ParamSetting> settings_;  // by effect index
    int frames_ = 240, frame_ = 0;
    double fps_ = 24.0;
    std::unique_ptr<EffectStack> stack_;
    std::vector<Assignment> assignments_;
    HostData data_;
    Scene current_;
    bool currentValid_ = false;
    std::vector<double> lastMs_;
};
