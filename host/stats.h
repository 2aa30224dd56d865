// The time spent in each effect (update + process), printed, and a progress
// line on stderr for work that takes longer than a second, shown only when
// stderr is a terminal.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

#include "kit/timing.h"

// "_GenericTwist: 72 frames, 1.234 ms per frame, 810.4 fps (update + process)"
void printTiming(std::ostream& out, const EffectTiming& timing);

// "GenericTwist [#########.....................] 37/300 frames, 52.1 fps, 4 s left"
class ProgressLine {
public:
    ProgressLine(std::string title, long total);
    ~ProgressLine();  // clears the line
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void advance();  // one more frame done

private:
    using Clock = std::chrono::steady_clock;
    std::string title_;
    long total_, done_ = 0;
    bool terminal_;
    Clock::time_point start_, shown_;
    bool showing_ = false;
};
