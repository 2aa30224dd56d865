// A script of viewer actions, one a line, run one per drawn frame, for tests
// and measurements; the actions and what they take are in viewer_script.cpp
// (`fxhost view --help` lists them). The first action that fails ends the
// script, and the window, with status 1; at its end the window closes, unless
// the viewer was told to stay.
#pragma once

#include <ctime>
#include <string>
#include <vector>

class Viewer;

// "  scene [PATH]  open a scene file ...", one action a line.
std::string scriptActions();

class ViewerScript {
public:
    // Throws RunError for a file that cannot be read, UsageError "FILE:LINE: why" for a bad line.
    explicit ViewerScript(const std::string& path);

    // Runs the next action, or goes on with `play` and `wait`. An action that
    // fails is reported and ends the script: returns false then.
    bool step(Viewer& viewer);
    // The action on line `number` failed (a screenshot fails as the frame is drawn): reported, and the script ends.
    void fail(Viewer& viewer, int number, const std::string& why);
    void frameDone(double seconds);
    // Every action done, the last `play` and `wait` too.
    bool finished() const { return next_ >= lines_.size() && playing_ == 0 && waiting_ == 0; }

private:
    struct Line {
        int number;
        std::vector<std::string> words;
        std::string rest;  // after the command word
    };
    void execute(Viewer& viewer, const Line& line);

    std::string path_;
    std::vector<Line> lines_;
    size_t next_ = 0;
    int playing_ = 0, waiting_ = 0, played_ = 0;
    double playSeconds_ = 0.0;
    std::clock_t playClock_ = 0;
    bool timeFrame_ = false;
};
