// fxhost: loads generic.fx the way its host does and runs, shows and
// exports its effects.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <utility>

#include "catalogue_commands.h"
#include "cli_options.h"
#include "demo.h"
#include "kit/errors.h"
#include "gltf_writer.h"
#include "params_command.h"
#include "playback.h"
#include "reference_pages.h"
#include "kit/plugin_loader.h"
#include "session.h"
#ifdef FX_VIEWER
#include "viewer/view_command.h"
#endif

namespace {
void parseSize(const std::string& text, PlaybackOptions& o) {
    int width = 0, height = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &rest) != 2)
        throw UsageError("--size " + text + ": expected WIDTHxHEIGHT, e.g. 640x480");
    o.width = width;
    o.height = height;
}
}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"fxhost: runs the effects of generic.fx on 3D scenes, renders them and exports the results"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "fxhost " FX_VERSION);
    std::string plugin = defaultPluginPath();

    CLI::App* list = app.add_subcommand("list", "The plug-in's description and its catalogue of effects");
    std::string bold = "auto";
    list->add_option("--bold", bold, "Render <b> marks as terminal bold: auto (on a terminal), always, never")
        ->check(CLI::IsMember({"auto", "always", "never"}));
    addPluginOption(list, plugin);

    CLI::App* params = app.add_subcommand("params", "The parameters an effect registers: what each does, in real units");
    std::string paramsEffect, paramsFormat = "text";
    params->add_option("EFFECT", paramsEffect, "Catalogue name or index")->required();
    params->add_option("--format", paramsFormat, "text (default), markdown or json");
    params->footer(
        "Columns, one parameter a row in registration order:\n"
        "  kind    flag (on from 0.5), scalar (0..1), point (x,y,z in scene units) or float (any number)\n"
        "  name    as registered, without its kind's suffix: what --set takes\n"
        "  stored  the float(s) the effect holds as it starts\n"
        "  real    what the effect makes of it, with its unit (turn/s, rad/unit, x, ...)\n"
        "  meaning what it does, from fxhost's reference (docs/effects/ has a page per effect)\n"
        "json adds the quantity, the real range from 0 to 1, and what the parameter follows.");
    addPluginOption(params, plugin);

    CLI::App* run = app.add_subcommand("run", "Run a stack of effects over a scene, frame by frame");
    PlaybackOptions playback;
    std::vector<std::string> settings;
    std::string size;
    run->add_option("EFFECT", playback.effects, "Effects applied in this order every frame (names or indices)");
    run->add_option("--scene", playback.scenePath, "Wavefront OBJ scene (default: the built-in scene)");
    run->add_option("--frames", playback.frames, "Number of frames (default 24)");
    run->add_option("--fps", playback.fps, "Frames per second: frame n runs at time n / fps (default 24)");
    run->add_option("--set", settings,
                    "[FRAME:][EFFECT.]NAME=VALUE: a parameter value before the start, or before that frame's "
                    "update (repeatable; a point as x,y,z)")
        ->allow_extra_args(false);
    run->add_option("--out", playback.outDir,
                    "Folder for frame_0001.obj, ... (and the pictures), or a .glb or .gltf file for the whole run");
    run->add_flag("--render", playback.renderFrames, "Also render frame_0001.png, ...");
    bool sheet = false;
    run->add_flag("--sheet", sheet, "Also render sheet.png: a contact sheet of 8 frames");
    run->add_option("--size", size, "Picture size WIDTHxHEIGHT (default 640x480)");
    std::string sessionPath, up = "y", view = "three-quarter";
    run->add_option("--session", sessionPath, "A session the viewer saved: its scene, stack, edits and camera");
    addCameraOptions(run, up, view);
    addPluginOption(run, plugin);

    CLI::App* demo = app.add_subcommand("demo", "Every built effect on the built-in scene: pictures and a gallery");
    DemoOptions demoOptions;
    demo->add_option("--out", demoOptions.outDir, "Folder for the pictures and index.html")->required();
    demo->add_option("--seconds", demoOptions.seconds, "Length of each run (default 3)");
    demo->add_option("--fps", demoOptions.fps, "Frames per second (default 24)");
    addCameraOptions(demo, up, view);
    addPluginOption(demo, plugin);
    CLI::App* pages = app.add_subcommand("pages", "A reference page per effect, with renders across each parameter's range");
    PagesOptions pagesOptions;
    std::string pagesFormat = "markdown";
    pages->add_option("--out", pagesOptions.outDir, "Folder for the pages (docs/effects in the source tree)")->required();
    pages->add_option("--format", pagesFormat, "markdown (default) or html")->check(CLI::IsMember({"markdown", "html"}));
    addPluginOption(pages, plugin);
#ifdef FX_VIEWER
    ViewCommand viewCommand(app, plugin);  // Linux only: a GLFW window
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {  // --help, --version
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "fxhost: " << e.what() << " (see --help)\n";
        return 2;
    }

    try {
        if (*list) {
            listCatalogue(plugin, bold == "always" ? Bold::Always : bold == "never" ? Bold::Never : Bold::Auto,
                          std::cout);
        } else if (*params) {
            listParams(plugin, paramsEffect, parseParamsFormat(paramsFormat), std::cout);
        } else if (*run) {
            playback.pluginPath = plugin;
            for (const std::string& s : settings) playback.settings.push_back(parseSetting(s));
            if (!size.empty()) parseSize(size, playback);
            if (isGltfPath(playback.outDir)) playback.gltfPath = std::exchange(playback.outDir, {});
            playback.writeObjs = !playback.outDir.empty();
            if (sheet) playback.sheetName = "sheet.png";
            playback.up = parseUpAxis(up);
            playback.view = parseView(view);
            if (!sessionPath.empty())
                useSession(loadSession(sessionPath), playback, run->count("--frames") > 0, run->count("--fps") > 0);
            runPlayback(playback);
        } else if (*demo) {
            demoOptions.pluginPath = plugin;
            demoOptions.up = parseUpAxis(up);
            demoOptions.view = parseView(view);
            runDemo(demoOptions);
        } else if (*pages) {
            pagesOptions.pluginPath = plugin;
            pagesOptions.format = pagesFormat == "html" ? PageFormat::Html : PageFormat::Markdown;
            writeReferencePages(pagesOptions);
        }
#ifdef FX_VIEWER
        else if (viewCommand.chosen()) {
            return viewCommand.run();
        }
#endif
    } catch (const UsageError& e) {
        std::cerr << "fxhost: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "fxhost: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
