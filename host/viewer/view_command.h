// The `view` subcommand of fxhost: its options, its help (the keys, the
// mouse and the script's actions) and how it starts the viewer.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "../cli_options.h"
#include "viewer.h"

class ViewCommand {
public:
    ViewCommand(CLI::App& app, Choices& choices, std::string& pluginPath);
    bool chosen() const { return command_->parsed(); }
    void check();  // throws UsageError
    int run(const std::string& pluginPath);  // throws UsageError or RunError

private:
    CLI::App* command_;
    ViewerOptions options_;
    std::string size_, up_ = "y", view_ = "three-quarter";
};
