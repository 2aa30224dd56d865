// Options that several fxhost commands take, worded once, and the choice
// options' words, kept where the checks, the manual and the shell
// completion all read them.
#pragma once

#include <CLI/CLI.hpp>

#include <map>
#include <string>
#include <vector>

// The plug-in beside the running executable.
std::string defaultPluginPath();
// The plug-in a user named: a bare file name is the file in the current
// folder (a loader would search its library path for it).
std::string pluginPathOf(const std::string& given);

struct Choice {
    std::string* value;
    std::vector<std::string> words;
};
using Choices = std::map<const CLI::Option*, Choice>;

// An option that takes one of `words`; its default is the value's.
CLI::Option* addChoice(CLI::App* command, Choices& choices, const std::string& name, std::string& value,
                       std::vector<std::string> words, const std::string& description);
// Throws UsageError "NAME VALUE: expected a, b or c" for a choice of `command` given another word.
void checkChoices(const CLI::App* command, const Choices& choices);

void addPluginOption(CLI::App* command, std::string& path);
// Throws UsageError "--out OUT is a file: WRITES" when `out`, which names a
// folder to write into, is an existing file.
void checkFolderOutput(const std::string& out, const std::string& writes);
// --up and --view.
void addCameraOptions(CLI::App* command, Choices& choices, std::string& up, std::string& view);
