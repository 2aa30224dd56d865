// fxhost's commands and options, defined once: main reads and runs them, the
// manual page and the shell completion are generated from them, and the
// command-line fuzzer builds its argument vectors from them.
#pragma once

#include <CLI/CLI.hpp>

#include <memory>
#include <string>
#include <vector>

#include "cli_options.h"
#include "demo.h"
#include "kit/errors.h"
#include "playback.h"
#include "reference_pages.h"

class ViewCommand;

// A command line fxhost cannot read, worded whole: "fxhost run: unknown option --frame; did you mean --frames?".
struct CommandLineError : UsageError {
    using UsageError::UsageError;
};

// An exit status and what it means, for --help and the manual.
struct ExitStatus {
    int status;
    const char* means;
};
extern const std::vector<ExitStatus> kExitStatuses;

class CommandLine {
public:
    CommandLine();
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    const CLI::App& app() const { return app_; }
    const Choices& choices() const { return choices_; }

    // Reads the words; throws CommandLineError, or CLI::Success for --help and --version.
    void parse(const std::vector<std::string>& words);
    // Every value against its range and the others, a session read: throws
    // UsageError or RunError. Nothing is written.
    void check();
    // The work; returns the exit status. Throws UsageError, RunError or Interrupted.
    int run();
    // Prints what CLI::Success asked for; its exit status.
    int help(const CLI::Success& asked);

private:
    CLI::App* command(const std::string& name);
    void prescan(const std::vector<std::string>& words);

    CLI::App app_{"fxhost: runs the effects of generic.fx on 3D scenes, renders them and exports the results"};
    Choices choices_;
    std::string plugin_ = defaultPluginPath();
    std::string bold_ = "auto";
    std::string paramsEffect_, paramsFormat_ = "text";
    PlaybackOptions playback_;
    std::vector<std::string> settings_;
    std::string frames_, fps_, size_, sessionPath_, up_ = "y", viewFrom_ = "three-quarter";
    bool sheet_ = false;
    DemoOptions demo_;
    std::string seconds_, demoFps_;
    PagesOptions pages_;
    std::string pagesFormat_ = "markdown";
    std::string sceneOut_;
#ifdef FX_VIEWER
    std::unique_ptr<ViewCommand> view_;
#endif
};
