// The time spent in each effect of a stack (update + process).
#pragma once

#include <chrono>
#include <string>

struct EffectTiming {
    std::string name;
    int frames = 0;
    double seconds = 0.0;

    double msPerFrame() const { return frames ? 1000.0 * seconds / frames : 0.0; }
    double framesPerSecond() const { return seconds > 0.0 ? frames / seconds : 0.0; }
};

class Stopwatch {
public:
    Stopwatch() : start_(std::chrono::steady_clock::now()) {}
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_;
};
