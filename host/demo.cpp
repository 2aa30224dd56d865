#include "demo.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "errors.h"
#include "gallery.h"
#include "playback.h"
#include "plugin_loader.h"
#include "reference/reference.h"
#include "renderer.h"
#include "sweep.h"

namespace {
std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "  ") + p;
    return out;
}
}  // namespace

void runDemo(const DemoOptions& o) {
    Renderer::require("demo");
    if (o.outDir.empty()) throw UsageError("demo needs --out DIR");
    if (!(o.seconds > 0.0) || !(o.fps > 0.0)) throw UsageError("--seconds and --fps must be positive");
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

    const Plugin plugin(o.pluginPath);
    std::vector<GalleryCard> cards;
    for (const CatalogueRow& row : readCatalogue(plugin)) {
        GalleryCard card{row.name, row.description, row.author, "", "", "", "", 0.0};
        if (row.built) {
            PlaybackOptions run = base;
            run.effects = {row.name};
            run.frames = frames;
            run.sheetName = row.name + ".png";
            run.gltfPath = (std::filesystem::path(o.outDir) / (row.name + ".glb")).string();
            // What the demo does to the effect, from its reference: none for one that animates itself.
            if (const EffectReference* reference = findReference(row.name)) {
                for (const std::string& s : reference->demo)
                    for (ParamSetting& setting : expandSweep(s, frames)) run.settings.push_back(std::move(setting));
                card.settings = joined(reference->demo);
                card.page = reference->page;
            }
            card.msPerFrame = runPlayback(run).at(0).msPerFrame();
            card.picture = run.sheetName;
            card.animation = row.name + ".glb";
        }
        cards.push_back(std::move(card));
    }
    const std::string page = (std::filesystem::path(o.outDir) / "index.html").string();
    writeGallery(page, "scene.png", cards);
    std::cout << "gallery: " << page << '\n';
}
