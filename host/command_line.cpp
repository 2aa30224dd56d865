#include "command_line.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <utility>

#include "builtin_scene.h"
#include "catalogue_commands.h"
#include "gltf_writer.h"
#include "kit/names.h"
#include "obj_io.h"
#include "params_command.h"
#include "ranges.h"
#include "renderer.h"
#include "session.h"
#ifdef FX_VIEWER
#include "viewer/view_command.h"
#endif

namespace fs = std::filesystem;

const std::vector<ExitStatus> kExitStatuses = {
    {0, "success"},
    {1, "the work failed: a scene, session or script file refused, a plug-in that does not load, an effect "
        "not built, a file that cannot be written"},
    {2, "a bad command line: an unknown command, option, effect or parameter, an empty value or one outside its range"},
    {130, "interrupted by Ctrl-C (SIGINT): the file being written removed, every file before it whole"},
    {143, "ended by SIGTERM, the same way"},
};

namespace {
std::string footer() {
    std::string out = "Exit status:\n";
    for (const ExitStatus& e : kExitStatuses) out += "  " + std::to_string(e.status) + "  " + e.means + "\n";
    return out + "The manual: docs/fxhost.md, or man fxhost where installed.";
}

bool looksLikeNumber(const std::string& word) {
    return word.size() > 1 && (std::isdigit(static_cast<unsigned char>(word[1])) || word[1] == '.');
}

// CLI11's report of a command line it could not read, in fxhost's words.
std::string reworded(const CLI::ParseError& e) {
    const std::string what = e.what();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) {
        const std::string name = what.substr(0, what.find(':'));
        // An option of one value named twice: which one was meant is not fxhost's to guess.
        if (what.find("At Most") != std::string::npos) return name + " is given more than once: give it once";
        return name + " needs a value";
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&e)) {
        // CLI11 lists the words left over as it took them: last first.
        std::string words, rest = what.substr(what.find(':') + 2);
        for (size_t blank; (blank = rest.rfind(' ')) != std::string::npos; rest.resize(blank))
            words += ::quoted(rest.substr(blank + 1)) + " ";
        return "unexpected " + words + ::quoted(rest);
    }
    return what;
}
}  // namespace

CommandLine::CommandLine() {
    app_.name("fxhost");
    app_.require_subcommand(1);
    app_.set_version_flag("--version", "fxhost " FX_VERSION);
    app_.footer(footer());

    CLI::App* list = app_.add_subcommand("list", "The plug-in's description and its catalogue of effects");
    addChoice(list, choices_, "--bold", bold_, {"auto", "always", "never"},
              "Render <b> marks as terminal bold: auto (on a terminal), always or never");
    addPluginOption(list, plugin_);

    CLI::App* params = app_.add_subcommand("params", "The parameters an effect registers: what each does, in real units");
    params->add_option("EFFECT", paramsEffect_, "Catalogue name, short name (twist) or index")->required();
    addChoice(params, choices_, "--format", paramsFormat_, {"text", "markdown", "json"}, "Output format");
    params->footer(
        "Columns, one parameter a row in registration order:\n"
        "  kind    flag (on from 0.5), scalar (0..1), point (x,y,z in scene units) or float (any number)\n"
        "  name    as registered, without its kind's suffix: what --set takes\n"
        "  stored  the float(s) the effect holds as it starts\n"
        "  real    what the effect makes of it, with its unit (turn/s, rad/unit, x, ...)\n"
        "  meaning what it does, from fxhost's reference (docs/effects/ has a page per effect)\n"
        "json adds the quantity, the real range from 0 to 1, and what the parameter follows.");
    addPluginOption(params, plugin_);

    CLI::App* run = app_.add_subcommand("run", "Run a stack of effects over a scene, frame by frame");
    run->add_option("EFFECT", playback_.effects,
                    "Effects applied in this order every frame: names, short names (twist) or indices");
    run->add_option("--scene", playback_.scenePath, "Wavefront OBJ scene (default: the built-in scene)");
    run->add_option("--frames", frames_, "Number of frames, 1 to " + std::to_string(kMaxFrames) + " (default 24)")
        ->type_name("N");
    run->add_option("--fps", fps_, "Frames per second, " + limitText(kMinFps) + " to " + limitText(kMaxFps) +
                                       ": frame n runs at time n / fps (default 24)")
        ->type_name("FPS");
    run->add_option("--set", settings_,
                    "[FRAME:][EFFECT.]NAME=VALUE: a parameter's value before the start, or before that frame's "
                    "update; EFFECT a name or #N, the stack's Nth (repeatable; a point as x,y,z)")
        ->allow_extra_args(false)
        ->type_name("SETTING");
    run->add_option("--out", playback_.outDir,
                    "Folder for frame_0001.obj, ... (and the pictures), or a .glb or .gltf file for the whole run")
        ->type_name("PATH");
    run->add_flag("--render", playback_.renderFrames, "Also render frame_0001.png, ...");
    run->add_flag("--sheet", sheet_, "Also render sheet.png: a contact sheet of 8 frames");
    run->add_option("--size", size_, "Picture size WIDTHxHEIGHT, each 16 to 8192 (default 640x480)")
        ->type_name("WxH");
    run->add_option("--session", sessionPath_,
                    "A session the viewer saved: its stack, edits, camera and scene (unless --scene names another)")
        ->type_name("FILE");
    addCameraOptions(run, choices_, up_, viewFrom_);
    addPluginOption(run, plugin_);
    run->footer("A folder of frames holds one run: the frame files and sheet.png of an earlier run are removed first.");

    CLI::App* demo = app_.add_subcommand("demo", "Every built effect on the built-in scene: pictures and a gallery");
    demo->add_option("--out", demo_.outDir, "Folder for the pictures and index.html")->required()->type_name("DIR");
    demo->add_option("--seconds", seconds_, "Length of each run, 0.1 to 60 (default 3)")->type_name("SECONDS");
    demo->add_option("--fps", demoFps_, "Frames per second (default 24)")->type_name("FPS");
    addCameraOptions(demo, choices_, up_, viewFrom_);
    addPluginOption(demo, plugin_);

    CLI::App* pages = app_.add_subcommand("pages", "A reference page per effect, with renders across each parameter's range");
    pages->add_option("--out", pages_.outDir, "Folder for the pages (docs/effects in the source tree)")
        ->required()
        ->type_name("DIR");
    addChoice(pages, choices_, "--format", pagesFormat_, {"markdown", "html"}, "Page format");
    addPluginOption(pages, plugin_);

    CLI::App* scene = app_.add_subcommand("scene", "Write the built-in scene as a Wavefront OBJ file");
    scene->add_option("--out", sceneOut_, "The file to write")->required()->type_name("FILE");
#ifdef FX_VIEWER
    view_ = std::make_unique<ViewCommand>(app_, choices_, plugin_);  // Linux only: a GLFW window
#endif
}

CommandLine::~CommandLine() = default;

CLI::App* CommandLine::command(const std::string& name) {
    for (CLI::App* sub : app_.get_subcommands({}))
        if (sub->get_name() == name) return sub;
    return nullptr;
}

// Unknown commands and options, found before CLI11 reads the words, so that
// each gets its own message and the nearest name.
void CommandLine::prescan(const std::vector<std::string>& words) {
    std::vector<std::string> commands;
    for (const CLI::App* sub : app_.get_subcommands({})) commands.push_back(sub->get_name());
    if (words.empty())
        throw CommandLineError("fxhost: a command is needed: " + listed(commands) + " (fxhost --help tells more)");
    const std::string& first = words[0];
    if (first == "--help" || first == "-h" || first == "--version") return;
    const CLI::App* sub = command(first);
    if (!sub) {
        const std::string suggestion = didYouMean(first, commands);
        throw CommandLineError("fxhost: unknown command " + quoted(first) +
                               (suggestion.empty() ? " (commands: " + listed(commands) + ")" : suggestion));
    }
    std::vector<std::string> options;
    for (const CLI::Option* o : sub->get_options())
        for (const std::string& name : o->get_lnames()) options.push_back("--" + name);
    for (size_t i = 1; i < words.size() && words[i] != "--"; ++i) {
        const std::string& word = words[i];
        if (word.size() < 2 || word[0] != '-' || looksLikeNumber(word)) continue;
        const std::string name = word.substr(0, word.find('='));
        if (name == "-h" || name == "--help" || std::find(options.begin(), options.end(), name) != options.end())
            continue;
        throw CommandLineError("fxhost " + first + ": unknown option " + name + didYouMean(name, options));
    }
}

void CommandLine::parse(const std::vector<std::string>& words) {
    prescan(words);
    std::vector<std::string> reversed(words.rbegin(), words.rend());  // CLI11 takes them last first
    try {
        app_.parse(reversed);
    } catch (const CLI::Success&) {
        throw;
    } catch (const CLI::ParseError& e) {
        const std::string prefix = words.empty() || !command(words[0]) ? "fxhost: " : "fxhost " + words[0] + ": ";
        throw CommandLineError(prefix + reworded(e));
    }
}

int CommandLine::help(const CLI::Success& asked) { return app_.exit(asked); }

void CommandLine::check() {
    for (const CLI::App* sub : app_.get_subcommands()) {
        // An empty word (an unset shell variable, say) is a mistake, never the option left out.
        for (const CLI::Option* o : sub->get_options())
            if (o->nonpositional() && o->get_type_size() != 0)
                for (const std::string& given : o->results())
                    if (given.empty()) throw UsageError(o->get_name() + " '': expected a value, not an empty word");
        checkChoices(sub, choices_);
    }
    if (command("run")->parsed()) {
        PlaybackOptions& o = playback_;
        if (!frames_.empty()) o.frames = wholeOption("--frames", frames_, 1, kMaxFrames);
        if (!fps_.empty()) o.fps = numberOption("--fps", fps_, kMinFps, kMaxFps);
        if (!size_.empty()) sizeOption("--size", size_, kMinPicture, kMinPicture, kMaxPicture, o.width, o.height);
        for (const std::string& s : settings_) o.settings.push_back(parseSetting(s));
        if (isGltfPath(o.outDir)) o.gltfPath = std::exchange(o.outDir, {});
        o.writeObjs = !o.outDir.empty();
        if (sheet_) o.sheetName = "sheet.png";
        o.up = parseUpAxis(up_, "--up " + up_);
        o.view = parseView(viewFrom_, "--view " + viewFrom_);
        if (!sessionPath_.empty()) useSession(loadSession(sessionPath_), o, !frames_.empty(), !fps_.empty());
        checkPlayback(o);
    } else if (command("demo")->parsed()) {
        if (!seconds_.empty()) demo_.seconds = numberOption("--seconds", seconds_, kMinDemoSeconds, kMaxDemoSeconds);
        if (!demoFps_.empty()) demo_.fps = numberOption("--fps", demoFps_, kMinFps, kMaxFps);
        demo_.up = parseUpAxis(up_, "--up " + up_);
        demo_.view = parseView(viewFrom_, "--view " + viewFrom_);
        checkDemo(demo_);
    } else if (command("scene")->parsed()) {
        std::error_code error;
        if (fs::is_directory(sceneOut_, error)) throw UsageError("--out " + sceneOut_ + " is a folder: name a file");
    }
#ifdef FX_VIEWER
    if (view_->chosen()) view_->check();
#endif
    // Last, so that every value above was checked before the plug-in is looked for.
    playback_.pluginPath = demo_.pluginPath = pages_.pluginPath = pluginPathOf(plugin_);
    std::error_code error;
    if (!command("scene")->parsed() && !fs::exists(playback_.pluginPath, error))
        throw RunError("cannot load plug-in " + playback_.pluginPath + ": no such file");
}

int CommandLine::run() {
    if (command("list")->parsed()) {
        listCatalogue(playback_.pluginPath, bold_ == "always" ? Bold::Always : bold_ == "never" ? Bold::Never : Bold::Auto,
                      std::cout);
    } else if (command("params")->parsed()) {
        listParams(playback_.pluginPath, paramsEffect_, parseParamsFormat(paramsFormat_), std::cout);
    } else if (command("run")->parsed()) {
        runPlayback(playback_);
    } else if (command("demo")->parsed()) {
        runDemo(demo_);
    } else if (command("pages")->parsed()) {
        pages_.format = pagesFormat_ == "html" ? PageFormat::Html : PageFormat::Markdown;
        writeReferencePages(pages_);
    } else if (command("scene")->parsed()) {
        writeObjFile(builtinScene(), sceneOut_);
    }
#ifdef FX_VIEWER
    else if (view_->chosen()) {
        return view_->run(playback_.pluginPath);
    }
#endif
    return 0;
}
