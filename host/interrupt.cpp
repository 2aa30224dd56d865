#include "interrupt.h"

#include <unistd.h>

#include <csignal>
#include <cstring>

namespace {
volatile std::sig_atomic_t gSignal = 0;
// Read by the handler, so a plain buffer: set only while gHasTemporary is 0.
char gTemporary[4096];
volatile std::sig_atomic_t gHasTemporary = 0;

extern "C" void onSignal(int number) {
    if (gSignal != 0) {
        if (gHasTemporary) unlink(gTemporary);
        _exit(128 + number);
    }
    gSignal = number;
}
}  // namespace

Interrupted::Interrupted(int number, const std::string& stays)
    : std::runtime_error(std::string("interrupted (") + (number == SIGINT ? "SIGINT" : "SIGTERM") + "); " + stays),
      signal(number) {}

void catchInterrupts() {
#if defined(_WIN32)
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
#else
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // a read or write under way goes on; the next safe point stops
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

void stopIfInterrupted(const std::string& stays) {
    if (gSignal != 0) throw Interrupted(gSignal, stays);
}

void writingTemporary(const std::string& path) {
    gHasTemporary = 0;
    if (path.empty() || path.size() >= sizeof gTemporary) return;
    std::memcpy(gTemporary, path.c_str(), path.size() + 1);
    gHasTemporary = 1;
}
