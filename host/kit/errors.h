// The two ways a command fails: a bad command line (exit status 2) and a run
// that could not be done (exit status 1). Each carries a one-line message.
#pragma once

#include <stdexcept>
#include <string>

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct RunError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A word of the user's as a message quotes it: between single quotes, its
// control characters written \xNN, so that the message stays one readable
// line, whole even when the word holds a NUL.
std::string quoted(const std::string& word);
