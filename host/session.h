// A viewer session as a JSON file: the scene, the stack, each parameter's
// value before the start and its edits by frame, the timeline and the
// camera. The viewer saves it; `fxhost run --session` and the viewer read it
// back whole. docs/fxhost.md gives the schema; a file without "version" is
// read as version 1, the only one so far.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "camera.h"
#include "kit/param_setting.h"
#include "playback.h"

constexpr int kSessionVersion = 1;

struct SessionEffect {
    std::string name;
    bool bypassed = false;
};

struct Session {
    std::string path;       // the file read, for messages; empty for the viewer's own
    std::string scenePath;  // empty: the built-in scene
    std::vector<SessionEffect> effects;
    // Each names its entry of the stack by index and, read from a file, its
    // field ("s.json: effects[0].params.speed"); frame 0 is before the start.
    std::vector<ParamSetting> settings;
    int frames = 240;
    double fps = 24.0;
    std::optional<Camera> camera;
};

// What messages call effect i's name field: "s.json: effects[1].name".
std::string effectField(const Session& session, size_t i);

// Throws RunError "FILE: FIELD: reason" (or "FILE:LINE:COLUMN: not JSON: ...")
// for a file that is not such a session, every value checked against its range.
Session loadSession(const std::string& path);
// Written whole or not at all; throws RunError.
void saveSession(const Session& session, const std::string& path);

// The stack, settings and camera of the session, and its scene unless
// options.scenePath names another (the camera then keeps its direction and
// frames that scene); frames and fps unless the command line gave them
// (edits past the last frame then go). Throws UsageError when the command
// line also named effects.
void useSession(const Session& session, PlaybackOptions& options, bool keepFrames, bool keepFps);
