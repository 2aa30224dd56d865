// Output files appear whole or not at all: each is written to a temporary
// file in the target folder and renamed over the target (over the file a
// symbolic link names, so the link stays). A device or a pipe, which cannot
// be renamed over, is written straight.
#pragma once

#include <functional>
#include <string>

// `write` fills the temporary path and returns false on failure; throws
// RunError when writing or renaming fails, Interrupted when a signal came
// meanwhile, and leaves no temporary file either way.
void writeAtomically(const std::string& target, const std::function<bool(const std::string& temporary)>& write);
