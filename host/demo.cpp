#include "demo.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>

#include "gallery.h"
#include "kit/errors.h"
#include "kit/plugin_loader.h"
#include "playback.h"
#include "renderer.h"

namespace {
// What the demo does to each effect, as settings: NAME=VALUE before the
// start, NAME=FROM..TO moved evenly from the first frame to the last, the
// way a user drags a handle. Effects that animate by themselves need none.
const std::map<std::string, std::vector<std::string>> kDemoSettings = {
    {"_GenericTranslate", {"translation=0,2,0", "origin=0,0,0..2,0,0"}},
    {"_GenericScale", {"uniform=0", "size x=0.5..0.45", "size y=0.5..0.56"}},
    {"GenericElipsoid", {"power teta=0.5..0.2", "power phi=0.5..0.2"}},
    {"GenericMagnet", {"intensity=0.5..0.8"}},
    {"GenericHarmonik", {"intensity=0.7"}},
    {"GenericTwist", {"frequency=0.5..0.8"}},
    {"_GenericTranslateFromSpline", {"precision=0.75"}},
};

std::vector<float> numbers(const std::string& text) {
    std::vector<float> out;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        out.push_back(std::stof(text.substr(start, comma - start)));
        if (comma == std::string::npos) return out;
        start = comma + 1;
    }
}

std::string format(const std::vector<float>& values) {
    std::string out;
    char number[32];
    for (float v : values) {
        std::snprintf(number, sizeof number, "%.7g", double(v));
        if (!out.empty()) out += ',';
        out += number;
    }
    return out;
}

// One setting per frame for a sweep, one before the start otherwise.
std::vector<ParamSetting> expand(const std::string& script, int frames) {
    const size_t equals = script.find('=');
    const std::string name = script.substr(0, equals), value = script.substr(equals + 1);
    const size_t dots = value.find("..");
    if (dots == std::string::npos) return {parseSetting(script)};
    const std::vector<float> from = numbers(value.substr(0, dots)), to = numbers(value.substr(dots + 2));
    std::vector<ParamSetting> settings;
    for (int frame = 1; frame <= frames; ++frame) {
        const double t = frames > 1 ? double(frame - 1) / (frames - 1) : 1.0;
        std::vector<float> v;
        for (size_t k = 0; k < from.size() && k < to.size(); ++k) v.push_back(float(from[k] + (to[k] - from[k]) * t));
        settings.push_back(parseSetting(std::to_string(frame) + ":" + name + "=" + format(v)));
    }
    return settings;
}

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
        GalleryCard card{row.name, row.description, row.author, "", "", "", 0.0};
        if (row.built) {
            PlaybackOptions run = base;
            run.effects = {row.name};
            run.frames = frames;
            run.sheetName = row.name + ".png";
            run.gltfPath = (std::filesystem::path(o.outDir) / (row.name + ".glb")).string();
            const auto script = kDemoSettings.find(row.name);
            if (script != kDemoSettings.end()) {
                for (const std::string& s : script->second)
                    for (ParamSetting& setting : expand(s, frames)) run.settings.push_back(std::move(setting));
                card.settings = joined(script->second);
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
