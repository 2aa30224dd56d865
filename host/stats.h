// Time spent in each effect (update + process) and a progress bar on stderr
// while frames run, shown only when stderr is a terminal.
#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

struct EffectTiming {
    std::string name;
    int frames = 0;
    double seconds = 0.0;

    double msPerFrame() const { return frames ? 1000.0 * seconds / frames : 0.0; }
    double framesPerSecond() const { return seconds > 0.0 ? frames / seconds : 0.0; }
};

// "_GenericTwist: 72 frames, 1.234 ms per frame, 810.4 fps (update + process)"
void printTiming(std::ostream& out, const EffectTiming& timing);

class Stopwatch {
public:
    Stopwatch() : start_(std::chrono::steady_clock::now()) {}
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_;
};

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
