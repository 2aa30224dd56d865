// Options that several fxhost commands take, worded once.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

// The plug-in beside the running executable.
std::string defaultPluginPath();

void addPluginOption(CLI::App* command, std::string& path);
// --up and --view, checked later with parseUpAxis and parseView.
void addCameraOptions(CLI::App* command, std::string& up, std::string& view);
