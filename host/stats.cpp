#include "stats.h"

#include <unistd.h>

#include <cstdio>

void printTiming(std::ostream& out, const EffectTiming& timing) {
    char line[256];
    std::snprintf(line, sizeof line, "%s: %d frames, %.3f ms per frame, %.1f fps (update + process)",
                  timing.name.c_str(), timing.frames, timing.msPerFrame(), timing.framesPerSecond());
    out << line << '\n';
}

ProgressBar::ProgressBar(std::string title, int total)
    : title_(std::move(title)), total_(total), enabled_(isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() {
    if (enabled_ && lastWidth_ >= 0) std::fprintf(stderr, "\r\033[K");
}

void ProgressBar::show(int done) {
    constexpr int kWidth = 30;
    if (!enabled_ || total_ <= 0) return;
    const int filled = kWidth * done / total_;
    if (filled == lastWidth_ && done != total_) return;  // redraw only when it changes
    lastWidth_ = filled;
    std::fprintf(stderr, "\r%s [%s%s] %d/%d", title_.c_str(), std::string(size_t(filled), '#').c_str(),
                 std::string(size_t(kWidth - filled), '.').c_str(), done, total_);
    std::fflush(stderr);
}
