// A script of viewer actions, one a line, run one per drawn frame:
//   scene [PATH]          add EFFECT           remove N          move N M
//   bypass N on|off       set [N] NAME=VALUE   frame N           play FRAMES
//   frames N              fps F                orbit DX DY       pan DX DY
//   zoom F                view NAME            up y|z            frame-all
//   show gizmos|mesh|wireframe|curves|particles on|off           wait FRAMES
//   screenshot PATH       screenshot-window PATH                 save-frame PATH
//   save-session PATH     load-session PATH    fit N (to the scene)   quit
// N counts the stack from 1; `set` without N sets every effect that has the name.
// `play` and `frame` print how long their frames took.
#pragma once

#include <ctime>
#include <string>
#include <vector>

class Viewer;

class ViewerScript {
public:
    // Throws RunError for a file that cannot be read, UsageError "FILE:LINE: why" for a bad line.
    explicit ViewerScript(const std::string& path);

    // Runs the next action, or goes on with `play` and `wait`.
    void step(Viewer& viewer);
    void frameDone(double seconds);

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
