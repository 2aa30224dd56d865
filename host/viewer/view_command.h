// The `view` subcommand of fxhost: its options and how it starts the viewer.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "viewer.h"

class ViewCommand {
public:
    ViewCommand(CLI::App& app, std::string& pluginPath);
    bool chosen() const { return command_->parsed(); }
    int run();  // throws UsageError or RunError

private:
    CLI::App* command_;
    std::string& pluginPath_;
    ViewerOptions options_;
    std::string size_, up_ = "y", view_ = "three-quarter";
};
