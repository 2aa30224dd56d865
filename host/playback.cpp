#include "playback.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <set>

#include "builtin_scene.h"
#include "gltf_writer.h"
#include "idle_effects.h"
#include "input_file.h"
#include "interrupt.h"
#include "kit/effect_stack.h"
#include "kit/errors.h"
#include "kit/host_data.h"
#include "obj_io.h"
#include "ranges.h"
#include "renderer.h"

namespace fs = std::filesystem;

namespace {
std::string frameFile(const std::string& dir, int frame, const char* extension) {
    char name[64];
    std::snprintf(name, sizeof name, "frame_%04d.%s", frame, extension);
    return (fs::path(dir) / name).string();
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

// The frame files and the sheet an earlier run left in the folder: a folder of
// frames never mixes two runs. Other files stay.
std::vector<fs::path> earlierRun(const PlaybackOptions& o) {
    std::error_code error;
    std::vector<fs::path> earlier;
    if (!(o.writeObjs || o.renderFrames) || !fs::is_directory(o.outDir, error)) return earlier;
    for (const fs::directory_entry& entry : fs::directory_iterator(o.outDir, error)) {
        const std::string name = entry.path().filename().string();
        const bool frame = name.size() >= 14 && name.rfind("frame_", 0) == 0 &&
                           name.find_first_not_of("0123456789", 6) == name.size() - 4 &&
                           (name.substr(name.size() - 4) == ".obj" || name.substr(name.size() - 4) == ".png");
        if ((frame || name == "sheet.png") && entry.is_regular_file(error)) earlier.push_back(entry.path());
    }
    return earlier;
}

void clearEarlierRun(const PlaybackOptions& o) {
    const std::vector<fs::path> earlier = earlierRun(o);
    std::error_code error;
    for (const fs::path& file : earlier)
        if (!fs::remove(file, error)) throw RunError("cannot remove " + file.string() + " of an earlier run: " + error.message());
    if (!earlier.empty())
        std::cerr << "fxhost: removed " << earlier.size() << " files of an earlier run from " << printable(o.outDir)
                  << '\n';
}

// Assignments of settings that came from a file: a refusal is the file's fault (status 1).
std::vector<Assignment> resolveFileSettings(const EffectStack& stack, const PlaybackOptions& o) {
    try {
        return stack.resolve(o.fileSettings, o.frames);
    } catch (const UsageError& e) {
        throw RunError(e.what());
    }
}

// The stack, with a name a session gave refused as the session's fault.
std::unique_ptr<EffectStack> makeStack(const Plugin& plugin, const std::vector<CatalogueRow>& catalogue,
                                       const PlaybackOptions& o) {
    for (size_t i = 0; i < o.effects.size() && !o.effectsFile.empty(); ++i) {
        try {
            findEffect(catalogue, o.effects[i]);
        } catch (const UsageError& e) {
            throw RunError(o.effectsFile + ": effects[" + std::to_string(i) + "].name: " + e.what());
        }
    }
    return std::make_unique<EffectStack>(plugin, catalogue, o.effects);
}

// A glTF file's frames stay in memory until it is written, so a long run of a large scene is the
// likeliest to run out: the message says what to change.
void addFrame(GltfAnimation& animation, const Scene& frame, int number, int frames) {
    try {
        animation.addFrame(frame);
    } catch (const std::bad_alloc&) {
        throw RunError("out of memory at frame " + std::to_string(number) + " of " + std::to_string(frames) +
                       ": a glTF file keeps every frame in memory until it is written; write fewer frames, or "
                       "OBJ frames into a folder");
    }
}
}  // namespace

void checkPlayback(const PlaybackOptions& o) {
    if (o.frames < 1 || o.frames > kMaxFrames)
        throw UsageError("--frames " + std::to_string(o.frames) + ": expected a whole number from 1 to " +
                         std::to_string(kMaxFrames));
    if (!(o.fps >= kMinFps && o.fps <= kMaxFps))
        throw UsageError("--fps " + limitText(o.fps) + ": expected a number from " + limitText(kMinFps) + " to " +
                         limitText(kMaxFps));
    if (!o.outDir.empty()) {
        std::error_code error;
        const std::string extension = lowerExtension(o.outDir);
        if ((fs::exists(o.outDir, error) && !fs::is_directory(o.outDir, error)) || extension == ".obj" ||
            extension == ".png" || extension == ".json")
            throw UsageError("--out " + o.outDir +
                             ": frames go into a folder (frame_0001.obj, ...); name a folder, or a .glb or .gltf "
                             "file for the whole run");
    }
    for (const auto& [asked, what] : {std::pair{o.renderFrames, "--render"}, {!o.sheetName.empty(), "--sheet"}}) {
        if (!asked || !o.outDir.empty()) continue;
        if (!o.gltfPath.empty())
            throw UsageError(std::string(what) + " draws pictures into a folder, and --out " + o.gltfPath +
                             " is a glTF file: give --out DIR");
        throw UsageError(std::string(what) + " needs --out DIR");
    }
    if (o.renderFrames) Renderer::require("--render");
    if (!o.sheetName.empty()) Renderer::require("--sheet");
    if (o.width < kMinPicture || o.height < kMinPicture || o.width > kMaxPicture || o.height > kMaxPicture)
        throw UsageError("the picture size must lie between " + std::to_string(kMinPicture) + " and " +
                         std::to_string(kMaxPicture) + " pixels a side");
    // Neither input, the scene nor the session, is written over or removed, whatever path names it.
    for (const auto& [input, what] : {std::pair{&o.scenePath, "scene"}, {&o.effectsFile, "session"}}) {
        if (input->empty()) continue;
        for (const std::string& file : outputFiles(o))
            if (sameFile(file, *input))
                throw UsageError("output " + file + " would overwrite the input " + what + " " + *input);
        for (const fs::path& file : earlierRun(o))
            if (sameFile(file.string(), *input))
                throw UsageError("--out " + o.outDir + " holds the input " + what + " " + *input +
                                 " among an earlier run's frames, which this run would remove");
    }
}

std::vector<EffectTiming> runPlayback(const PlaybackOptions& o) {
    checkPlayback(o);
    Scene source = o.scenePath.empty() ? builtinScene() : loadObj(o.scenePath);
    SceneRecords records(source);

    const Plugin plugin(o.pluginPath);
    const std::vector<CatalogueRow> catalogue = readCatalogue(plugin);
    const std::unique_ptr<EffectStack> stackOwner = makeStack(plugin, catalogue, o);
    EffectStack& stack = *stackOwner;
    for (size_t i = 0; i < o.bypassed.size() && i < o.effects.size(); ++i) stack.setBypassed(i, o.bypassed[i]);
    std::vector<Assignment> assignments = resolveFileSettings(stack, o);
    for (const Assignment& a : stack.resolve(o.settings, o.frames)) assignments.push_back(a);

    const bool framesOut = o.writeObjs || o.renderFrames;
    clearEarlierRun(o);
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
            if (o.frameCamera) camera.frameAll(boundsOf(source), renderer->aspect());
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
    for (const std::string& why : idleEffects(stack, source))
        std::cerr << "fxhost: warning: " << printable(why) << '\n';
    std::optional<ProgressLine> ownProgress;
    if (!o.progress) ownProgress.emplace(title, o.frames);
    ProgressLine& progress = o.progress ? *o.progress : *ownProgress;
    int written = 0;
    try {
        for (int frame = 1; frame <= o.frames; ++frame) {
            stopIfInterrupted();
            const float time = frameTime(frame, o.fps);
            data.serve(records);
            stack.runFrame(frame, time, data, assignments);
            const bool show = o.renderFrames || shown.count(frame);
            if (o.writeObjs || show || animation) {
                const Scene current = sceneFromRecords(data.mesh, data.spline, data.particles);
                if (o.writeObjs) writeObjFile(current, frameFile(o.outDir, frame, "obj"));
                if (animation) addFrame(*animation, current, frame, o.frames);
                if (show) {
                    char label[256];
                    std::snprintf(label, sizeof label, "%s  t=%.2f", title.c_str(), double(time));
                    const Image image = renderer->render(current, [&stack] { stack.drawGizmos(); }, label);
                    if (o.renderFrames) writePng(frameFile(o.outDir, frame, "png"), image);
                    if (shown.count(frame)) tiles.push_back(image);
                }
            }
            written = frame;
            progress.advance();
        }
    } catch (const Interrupted& e) {
        if (!framesOut) throw;
        throw Interrupted(e.signal, "the " + std::to_string(written) + " frames written are whole");
    }
    ownProgress.reset();  // the line leaves the terminal before anything else is printed
    if (animation) animation->write(o.gltfPath);
    if (!o.sheetName.empty())
        writePng((fs::path(o.outDir) / o.sheetName).string(), contactSheet(tiles, o.sheetColumns));
    const std::vector<EffectTiming> timings = stack.timings();
    if (!o.quiet)
        for (const EffectTiming& t : timings) printTiming(std::cout, t);
    return timings;
}
