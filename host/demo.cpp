#include "demo.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "kit/errors.h"
#include "cli_options.h"
#include "gallery.h"
#include "playback.h"
#include "ranges.h"
#include "kit/plugin_loader.h"
#include "reference/reference.h"
#include "reference_pages.h"
#include "renderer.h"
#include "sweep.h"

namespace fs = std::filesystem;

namespace {
// The live viewer's model: the run again at a few frames a second, which the
// viewer blends between, so that nine models load quickly.
constexpr double kModelFps = 6.0;

// The gallery viewer's script beside fxhost (the build tree) or in the
// installed share folder; "" when neither has it.
std::string viewerScript() {
    const fs::path here = fs::path(defaultPluginPath()).parent_path();
    for (const fs::path& p : {here / "web" / "gallery_viewer.js", here / ".." / ".." / "share" / "generic-fx" / "web" /
                                                                       "gallery_viewer.js"}) {
        std::error_code error;
        if (fs::is_regular_file(p, error)) return p.string();
    }
    return "";
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "  ") + p;
    return out;
}
}  // namespace

void checkDemo(const DemoOptions& o) {
    Renderer::require("demo");
    if (o.outDir.empty()) throw UsageError("demo needs --out DIR");
    checkFolderOutput(o.outDir, "demo writes a folder of pictures and index.html");
    if (!(o.seconds >= kMinDemoSeconds && o.seconds <= kMaxDemoSeconds))
        throw UsageError("--seconds " + limitText(o.seconds) + ": expected a number from " + limitText(kMinDemoSeconds) +
                         " to " + limitText(kMaxDemoSeconds));
    if (!(o.fps >= kMinFps && o.fps <= kMaxFps))
        throw UsageError("--fps " + limitText(o.fps) + ": expected a number from " + limitText(kMinFps) + " to " +
                         limitText(kMaxFps));
    if (std::lround(o.seconds * o.fps) > kMaxDemoFrames)
        throw UsageError("--seconds " + limitText(o.seconds) + " at --fps " + limitText(o.fps) + " makes " +
                         std::to_string(std::lround(o.seconds * o.fps)) + " frames a run: at most " +
                         std::to_string(kMaxDemoFrames));
}

void runDemo(const DemoOptions& o) {
    checkDemo(o);
    const int frames = std::max(1, int(std::lround(o.seconds * o.fps)));

    PlaybackOptions base;
    base.pluginPath = o.pluginPath;
    base.outDir = o.outDir;
    base.fps = o.fps;
    base.width = o.tileWidth;
    base.height = o.tileHeight;
    base.up = o.up;
    base.view = o.view;

    // The scene alone: one frame, one tile.
    PlaybackOptions scene = base;
    scene.frames = 1;
    scene.sheetName = "scene.png";
    scene.sheetTiles = 1;
    scene.width = 2 * o.tileWidth;
    scene.height = 2 * o.tileHeight;
    scene.quiet = true;
    runPlayback(scene);

    const std::string viewer = viewerScript();
    if (viewer.empty()) std::cerr << "fxhost: no gallery_viewer.js beside fxhost: the gallery shows pictures only\n";
    PagesOptions pages{o.pluginPath, (fs::path(o.outDir) / "reference").string(), PageFormat::Html};
    writeReferencePages(pages);

    const Plugin plugin(o.pluginPath);
    std::vector<GalleryCard> cards;
    for (const CatalogueRow& row : readCatalogue(plugin)) {
        GalleryCard card{row.name, row.description, row.author, "", "", "", "", "", 0.0};
        if (row.built) {
            PlaybackOptions run = base;
            run.effects = {row.name};
            run.frames = frames;
            run.sheetName = row.name + ".png";
            run.gltfPath = (fs::path(o.outDir) / (row.name + ".glb")).string();
            // What the demo does to the effect, from its reference: none for one that animates itself.
            const EffectReference* reference = findReference(row.name);
            const std::vector<std::string> demo = reference ? reference->demo : std::vector<std::string>{};
            for (const std::string& s : demo)
                for (ParamSetting& setting : expandSweep(s, frames)) run.settings.push_back(std::move(setting));
            card.settings = joined(demo);
            if (reference) card.page = "reference/" + reference->page + ".html";
            card.msPerFrame = runPlayback(run).at(0).msPerFrame();
            card.picture = run.sheetName;
            card.animation = row.name + ".glb";
            if (!viewer.empty()) {
                PlaybackOptions model = base;
                model.effects = {row.name};
                model.fps = kModelFps;
                model.frames = std::max(1, int(std::lround(o.seconds * kModelFps)));
                model.quiet = true;
                model.gltfPath = (fs::path(o.outDir) / (row.name + ".model.glb")).string();
                for (const std::string& s : demo)
                    for (ParamSetting& setting : expandSweep(s, model.frames)) model.settings.push_back(std::move(setting));
                runPlayback(model);
                card.model = row.name + ".glb.js";
                writeModelScript(model.gltfPath, row.name, (fs::path(o.outDir) / card.model).string());
                fs::remove(model.gltfPath);
            }
        }
        cards.push_back(std::move(card));
    }
    const std::string page = (fs::path(o.outDir) / "index.html").string();
    if (!viewer.empty()) {
        std::error_code error;
        fs::copy_file(viewer, fs::path(o.outDir) / "gallery_viewer.js", fs::copy_options::overwrite_existing, error);
        if (error) throw RunError("cannot copy " + viewer + ": " + error.message());
    }
    writeGallery(page, "scene.png", cards, viewer.empty() ? "" : "gallery_viewer.js");
    std::cout << "gallery: " << page << '\n';
}
