// The time spent in each effect (update + process), printed, and a progress
// bar on stderr while frames run, shown only when stderr is a terminal.
#pragma once

#include <ostream>
#include <string>

#include "kit/timing.h"

// "_GenericTwist: 72 frames, 1.234 ms per frame, 810.4 fps (update + process)"
void printTiming(std::ostream& out, const EffectTiming& timing);

class ProgressBar {
public:
    ProgressBar(std::string title, int total);
    ~ProgressBar();  // clears the bar
    void show(int done);

private:
    std::string title_;
    int total_;
    bool enabled_;
    int lastWidth_ = -1;
};
