// A viewer session as a JSON file: the scene, the stack, each parameter's
// value before the start and its edits by frame, the timeline and the camera.
// The viewer saves it; `fxhost run --session` renders it headless.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "camera.h"
#include "kit/param_setting.h"
#include "playback.h"

struct SessionEffect {
    std::string name;
    bool bypassed = false;
};

struct Session {
    std::string scenePath;  // empty: the built-in scene
    std::vector<SessionEffect> effects;
    // Each names its entry of the stack by index; frame 0 is before the start.
    std::vector<ParamSetting> settings;
    int frames = 240;
    double fps = 24.0;
    std::optional<Camera> camera;
};

// Throws RunError "FILE: reason" for a file that is not such a session.
Session loadSession(const std::string& path);
// Written whole or not at all; throws RunError.
void saveSession(const Session& session, const std::string& path);

// The scene, stack, settings and camera of the session; frames and fps unless
// the command line gave them (edits past the last frame then go). Throws
// UsageError when the command line also named effects or a scene.
void useSession(const Session& session, PlaybackOptions& options, bool keepFrames, bool keepFps);
