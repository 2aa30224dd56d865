#include "playback.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <set>

#include "builtin_scene.h"
#include "gltf_writer.h"
#include "kit/effect_stack.h"
#include "kit/errors.h"
#include "kit/host_data.h"
#include "obj_io.h"
#include "renderer.h"

namespace fs = std::filesystem;

namespace {
std::string frameFile(const std::string& dir, int frame, const char* extension) {
    char name[64];
    std::snprintf(name, sizeof name, "frame_%04d.%s", frame, extension);
    return (fs::path(dir) / name).string();
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
    return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

// Frames shown on the contact sheet, spread evenly from the first to the last.
std::set<int> sheetFrames(int frames, int tiles) {
    std::set<int> chosen;
    if (tiles <= 1 || frames <= 1) return {frames};
    for (int k = 0; k < tiles; ++k) chosen.insert(1 + int(std::lround(double(k) * (frames - 1) / (tiles - 1))));
    return chosen;
}

std::vector<std::string> outputFiles(const PlaybackOptions& o) {
    std::vector<std::string> files;
    for (int frame = 1; frame <= o.frames; ++frame) {
        if (o.writeObjs) files.push_back(frameFile(o.outDir, frame, "obj"));
        if (o.renderFrames) files.push_back(frameFile(o.outDir, frame, "png"));
    }
    if (!o.sheetName.empty()) files.push_back((fs::path(o.outDir) / o.sheetName).string());
    if (!o.gltfPath.empty()) files.push_back(o.gltfPath);
    return files;
}

void checkOptions(const PlaybackOptions& o) {
    if (o.frames < 1) throw UsageError("--frames must be at least 1");
    if (!(o.fps > 0.0) || !std::isfinite(o.fps)) throw UsageError("--fps must be a positive number");
    const bool outputs = o.writeObjs || o.renderFrames || !o.sheetName.empty();
    if (outputs && o.outDir.empty()) throw UsageError("--render and --sheet need --out DIR");
    if (o.renderFrames) Renderer::require("--render");
    if (!o.sheetName.empty()) Renderer::require("--sheet");
    if (o.width < 16 || o.height < 16 || o.width > 8192 || o.height > 8192)
        throw UsageError("the picture size must lie between 16 and 8192 pixels a side");
    if (o.scenePath.empty()) return;
    for (const std::string& file : outputFiles(o))
        if (sameFile(file, o.scenePath))
            throw UsageError("output " + file + " would overwrite the input scene " + o.scenePath);
}
}  // namespace

std::vector<EffectTiming> runPlayback(const PlaybackOptions& o) {
    checkOptions(o);
    Scene source = o.scenePath.empty() ? builtinScene() : loadObj(o.scenePath);
    SceneRecords records(source);

    const Plugin plugin(o.pluginPath);
    const std::vector<CatalogueRow> catalogue = readCatalogue(plugin);
    EffectStack stack(plugin, catalogue, o.effects);
    for (size_t i = 0; i < o.bypassed.size() && i < o.effects.size(); ++i) stack.setBypassed(i, o.bypassed[i]);
    const std::vector<Assignment> assignments = stack.resolve(o.settings, o.frames);

    for (const std::string& dir : {o.outDir, fs::path(o.gltfPath).parent_path().string()}) {
        std::error_code error;
        if (!dir.empty()) fs::create_directories(dir, error);
        if (error) throw RunError("cannot create " + dir + ": " + error.message());
    }
    std::optional<GltfAnimation> animation;
    if (!o.gltfPath.empty()) animation.emplace(source, o.fps);
    std::unique_ptr<Renderer> renderer;
    const std::set<int> shown = o.sheetName.empty() ? std::set<int>{} : sheetFrames(o.frames, o.sheetTiles);
    if (o.renderFrames || !shown.empty()) {
        renderer = std::make_unique<Renderer>(o.width, o.height);
        Camera& camera = renderer->camera();  // fixed for the whole run
        if (o.camera) {
            camera = *o.camera;
        } else {
            camera.up = o.up;
            camera.setView(o.view);
            camera.frameAll(boundsOf(source), renderer->aspect());
        }
    }

    std::vector<Image> tiles;
    HostData data;
    const std::string title = stack.names().empty() ? "scene" : stack.names();
    stack.start(assignments);
    std::optional<ProgressBar> progress(std::in_place, title, o.frames);
    for (int frame = 1; frame <= o.frames; ++frame) {
        const float time = frameTime(frame, o.fps);
        data.serve(records);
        stack.runFrame(frame, time, data, assignments);
        const bool show = o.renderFrames || shown.count(frame);
        if (o.writeObjs || show || animation) {
            const Scene current = sceneFromRecords(data.mesh, data.spline, data.particles);
            if (o.writeObjs) writeObjFile(current, frameFile(o.outDir, frame, "obj"));
            if (animation) animation->addFrame(current);
            if (show) {
                char label[256];
                std::snprintf(label, sizeof label, "%s  t=%.2f", title.c_str(), double(time));
                const Image image = renderer->render(current, [&stack] { stack.drawGizmos(); }, label);
                if (o.renderFrames) writePng(frameFile(o.outDir, frame, "png"), image);
                if (shown.count(frame)) tiles.push_back(image);
            }
        }
        progress->show(frame);
    }
    progress.reset();  // the bar leaves the terminal before anything else is printed
    if (animation) animation->write(o.gltfPath);
    if (!o.sheetName.empty())
        writePng((fs::path(o.outDir) / o.sheetName).string(), contactSheet(tiles, o.sheetColumns));
    const std::vector<EffectTiming> timings = stack.timings();
    if (!o.quiet)
        for (const EffectTiming& t : timings) printTiming(std::cout, t);
    return timings;
}
