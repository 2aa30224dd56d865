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

// A message as printed: its control characters written \xNN, so that it
// stays one readable line whatever it names (a file name may hold a line
// break or a terminal's escape, a word a NUL).
std::string printable(const std::string& text);

// A word of the user's as a message quotes it: printable, between single quotes.
std::string quoted(const std::string& word);

// What a failure tells the user: "out of memory" for an allocation that
// failed (its own text, std::bad_alloc, is the library's name for it), the
// exception's message otherwise.
std::string messageOf(const std::exception& e);
