// Ctrl-C (SIGINT) and SIGTERM stop fxhost at its next safe point: between
// frames, or before a finished file takes its name. The file being written
// is removed, every file written before it stays whole, and fxhost exits
// with 128 + the signal's number (130, 143). A second signal ends it at
// once, still removing the file being written.
#pragma once

#include <stdexcept>
#include <string>

struct Interrupted : std::runtime_error {
    // "interrupted (SIGINT); " + what stays.
    Interrupted(int signal, const std::string& stays);
    int signal;
    int status() const { return 128 + signal; }
};

void catchInterrupts();
// Throws Interrupted when a signal came.
void stopIfInterrupted(const std::string& stays = "every file written is whole");
// The temporary file being written, removed if a second signal ends fxhost; "" when none.
void writingTemporary(const std::string& path);
