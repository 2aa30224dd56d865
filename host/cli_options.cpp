#include "cli_options.h"

#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {
// The running executable's own path, or empty.
std::filesystem::path self() {
#if defined(_WIN32)
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::filesystem::path(std::string(path, length)) : "";
#else
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? "" : path;
#endif
}
}  // namespace

std::string defaultPluginPath() {
    const std::filesystem::path path = self();
    return path.empty() ? "generic.fx" : (path.parent_path() / "generic.fx").string();
}

void addPluginOption(CLI::App* command, std::string& path) {
    command->add_option("--plugin", path, "The plug-in to load (default: generic.fx beside fxhost)");
}

void addCameraOptions(CLI::App* command, std::string& up, std::string& view) {
    command->add_option("--up", up, "The scene's up axis: y (default) or z");
    command->add_option("--view", view, "Look from: three-quarter (default), front, top or side");
}
