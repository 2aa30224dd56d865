// fxhost's manual page and bash completion, made from its own command
// definitions (CommandLine) when it is built, never written twice.
#pragma once

#include <ostream>

#include "command_line.h"

// The man page (roff): every command, its options and help, the exit statuses.
void writeManPage(const CommandLine& line, std::ostream& out);
// A bash completion script: commands, each command's options, the words of
// its choice options, effect names from `fxhost list`, files elsewhere.
void writeBashCompletion(const CommandLine& line, std::ostream& out);
