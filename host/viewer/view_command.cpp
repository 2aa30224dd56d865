#include "view_command.h"

#include "../kit/errors.h"
#include "../ranges.h"
#include "viewer_script.h"

ViewCommand::ViewCommand(CLI::App& app, Choices& choices, std::string& pluginPath) {
    command_ = app.add_subcommand("view", "A window to play, tune and look at a stack of effects");
    command_->add_option("EFFECT", options_.effects, "Effects to start with, in order: names, short names or indices");
    command_->add_option("--scene", options_.scenePath, "Wavefront OBJ scene (default: the built-in scene)");
    command_->add_option("--session", options_.sessionPath, "A session saved from the viewer")->type_name("FILE");
    command_->add_option("--script", options_.scriptPath, "Viewer actions to run, one a line (below)")->type_name("FILE");
    command_->add_flag("--stay", options_.stay, "Keep the window open when the script ends or fails");
    command_->add_option("--size", size_, "Window size WIDTHxHEIGHT, from 640x360 (default 1280x800)")->type_name("WxH");
    addCameraOptions(command_, choices, up_, view_);
    addPluginOption(command_, pluginPath);
    command_->footer(viewerHelp());
}

void ViewCommand::check() {
    if (!size_.empty())
        sizeOption("--size", size_, kMinWindowWidth, kMinWindowHeight, kMaxWindow, options_.width, options_.height);
    options_.up = parseUpAxis(up_, "--up " + up_);
    options_.view = parseView(view_, "--view " + view_);
}

int ViewCommand::run(const std::string& pluginPath) {
    options_.pluginPath = pluginPath;
    Viewer viewer(options_);
    return viewer.run();
}
