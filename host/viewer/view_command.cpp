#include "view_command.h"

#include <cstdio>

#include "../cli_options.h"
#include "kit/errors.h"

ViewCommand::ViewCommand(CLI::App& app, std::string& pluginPath) : pluginPath_(pluginPath) {
    command_ = app.add_subcommand("view", "A window to play, tune and look at a stack of effects");
    command_->add_option("EFFECT", options_.effects, "Effects to start with, in order (names or indices)");
    command_->add_option("--scene", options_.scenePath, "Wavefront OBJ scene (default: the built-in scene)");
    command_->add_option("--session", options_.sessionPath, "A session saved from the viewer");
    command_->add_option("--script", options_.scriptPath, "Viewer actions to run, one a line (see docs/fxhost.md)");
    command_->add_option("--size", size_, "Window size WIDTHxHEIGHT (default 1280x800)");
    addCameraOptions(command_, up_, view_);
    addPluginOption(command_, pluginPath_);
}

int ViewCommand::run() {
    options_.pluginPath = pluginPath_;
    if (!size_.empty()) {
        char rest = 0;
        if (std::sscanf(size_.c_str(), "%dx%d%c", &options_.width, &options_.height, &rest) != 2 ||
            options_.width < 320 || options_.height < 240 || options_.width > 8192 || options_.height > 8192)
            throw UsageError("--size " + size_ + ": expected WIDTHxHEIGHT from 320x240");
    }
    options_.up = parseUpAxis(up_);
    options_.view = parseView(view_);
    Viewer viewer(options_);
    return viewer.run();
}
