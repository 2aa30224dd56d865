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
