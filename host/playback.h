// One run: a stack of effects over a scene for a number of frames, with the
// outputs asked for. Everything that can be refused is checked before the
// first file is written.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "camera.h"
#include "kit/param_setting.h"
#include "stats.h"

struct PlaybackOptions {
    std::string pluginPath;
    std::vector<std::string> effects;
    std::string scenePath;  // empty: the built-in scene
    int frames = 24;
    double fps = 24.0;  // frame n (from 1) runs at time n / fps
    std::vector<ParamSetting> settings;
    std::vector<bool> bypassed;  // per effect; missing entries run

    std::string gltfPath;     // the whole run as one animated .glb or .gltf, when not empty
    std::string outDir;       // required by every output below
    bool writeObjs = false;   // frame_0001.obj, ...
    bool renderFrames = false;  // frame_0001.png, ...
    std::string sheetName;    // a contact sheet of `sheetTiles` frames, when not empty
    int sheetTiles = 8, sheetColumns = 4;
    int width = 640, height = 480;  // of a rendered frame or sheet tile
    UpAxis up = UpAxis::Y;
    View view = View::ThreeQuarter;
    std::optional<Camera> camera;  // as saved; otherwise the source scene framed from `view`
    bool quiet = false;  // no timing lines
};

// Throws UsageError or RunError; returns the time spent in each effect.
std::vector<EffectTiming> runPlayback(const PlaybackOptions& options);
