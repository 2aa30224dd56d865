#include "cli_options.h"

void addPluginOption(CLI::App* command, std::string& path) {
    command->add_option("--plugin", path, "The plug-in to load (default: generic.fx beside fxhost)");
}

void addCameraOptions(CLI::App* command, std::string& up, std::string& view) {
    command->add_option("--up", up, "The scene's up axis: y (default) or z");
    command->add_option("--view", view, "Look from: three-quarter (default), front, top or side");
}
