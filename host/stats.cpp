#include "stats.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

void printTiming(std::ostream& out, const EffectTiming& timing) {
    char line[256];
    std::snprintf(line, sizeof line, "%s: %d frames, %.3f ms per frame, %.1f fps (update + process)",
                  timing.name.c_str(), timing.frames, timing.msPerFrame(), timing.framesPerSecond());
    out << line << '\n';
}

ProgressLine::ProgressLine(std::string title, long total)
    : title_(std::move(title)), total_(total), terminal_(isatty(STDERR_FILENO) == 1), start_(Clock::now()) {}

ProgressLine::~ProgressLine() {
    if (showing_) std::fprintf(stderr, "\r\033[K");
}

void ProgressLine::advance() {
    constexpr int kWidth = 30;
    ++done_;
    if (!terminal_ || total_ <= 0) return;
    const Clock::time_point now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - start_).count();
    // Work of a second or less shows nothing; then ten redraws a second at most.
    if (seconds < 1.0 || (showing_ && now - shown_ < std::chrono::milliseconds(100) && done_ != total_)) return;
    showing_ = true;
    shown_ = now;
    const long filled = kWidth * std::min(done_, total_) / total_;
    const double rate = done_ / seconds;
    std::fprintf(stderr, "\r%s [%s%s] %ld/%ld frames, %.1f fps, %.0f s left\033[K", title_.c_str(),
                 std::string(size_t(filled), '#').c_str(), std::string(size_t(kWidth - filled), '.').c_str(), done_,
                 total_, rate, std::ceil(double(total_ - std::min(done_, total_)) / rate));
    std::fflush(stderr);
}
