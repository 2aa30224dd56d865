// Output files appear whole or not at all: each is written to a temporary
// file in the target folder and renamed over the target.
#pragma once

#include <functional>
#include <string>

// `write` fills the temporary path and returns false on failure; throws
// RunError (and leaves no temporary file) when writing or renaming fails.
void writeAtomically(const std::string& target, const std::function<bool(const std::string& temporary)>& write);
