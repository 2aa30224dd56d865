#include "cli_options.h"

#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "kit/errors.h"
#include "ranges.h"

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

std::string pluginPathOf(const std::string& given) {
    const std::filesystem::path path(given);
    return !given.empty() && !path.has_parent_path() ? (std::filesystem::path(".") / path).string() : given;
}

CLI::Option* addChoice(CLI::App* command, Choices& choices, const std::string& name, std::string& value,
                       std::vector<std::string> words, const std::string& description) {
    std::string alternatives;
    for (const std::string& w : words) alternatives += (alternatives.empty() ? "" : "|") + w;
    CLI::Option* option = command->add_option(name, value, description + " (default " + value + ")");
    option->type_name(alternatives);
    choices[option] = Choice{&value, std::move(words)};
    return option;
}

void checkChoices(const CLI::App* command, const Choices& choices) {
    for (const CLI::Option* option : command->get_options())
        if (const auto found = choices.find(option); found != choices.end() && option->count() > 0)
            choiceOption(option->get_name(), *found->second.value, found->second.words);
}

void checkFolderOutput(const std::string& out, const std::string& writes) {
    std::error_code error;
    if (std::filesystem::exists(out, error) && !std::filesystem::is_directory(out, error))
        throw UsageError("--out " + out + " is a file: " + writes);
}

void addPluginOption(CLI::App* command, std::string& path) {
    command->add_option("--plugin", path, "The plug-in to load (default: generic.fx beside fxhost)");
}

void addCameraOptions(CLI::App* command, Choices& choices, std::string& up, std::string& view) {
    addChoice(command, choices, "--up", up, {"y", "z"}, "The scene's up axis");
    addChoice(command, choices, "--view", view, {"three-quarter", "front", "top", "side"}, "Look from");
}
