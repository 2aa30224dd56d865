// The ranges of every count, rate, size and time fxhost takes, from the
// command line, a session or a viewer script, and their checks, worded
// alike wherever the value comes from. All of them run before any work.
#pragma once

#include <string>
#include <vector>

constexpr int kMaxFrames = 100000;                    // of a run, a session, the viewer's timeline
constexpr double kMinFps = 0.1, kMaxFps = 1000.0;     // frames per second
constexpr int kMinPicture = 16, kMaxPicture = 8192;   // a picture's side in pixels
// The viewer's window: its panel is 380 pixels wide, and the picture beside it keeps 260.
constexpr int kMinWindowWidth = 640, kMinWindowHeight = 360, kMaxWindow = 8192;
constexpr double kMinDemoSeconds = 0.1, kMaxDemoSeconds = 60.0;  // of each of the demo's runs
constexpr int kMaxDemoFrames = 1440;                               // of each of the demo's runs

// A limit as messages print it: 0.1, 1000, 1e-6, 1e30.
std::string limitText(double value);

// Empty when `text` is a whole number from low to high (then in `out`),
// otherwise what was expected: "expected a whole number from 1 to 100000".
std::string readWhole(const std::string& text, long long low, long long high, long long& out);
// The same for any decimal number: "expected a number from 0.1 to 1000".
std::string readNumber(const std::string& text, double low, double high, double& out);

// An option's value: throws UsageError "NAME TEXT: expected ...".
int wholeOption(const std::string& name, const std::string& text, int low, int high);
double numberOption(const std::string& name, const std::string& text, double low, double high);
// WIDTHxHEIGHT, each side from its least to high.
void sizeOption(const std::string& name, const std::string& text, int lowWidth, int lowHeight, int high, int& width,
                int& height);
// One of `choices`, e.g. --up: "expected y or z".
void choiceOption(const std::string& name, const std::string& text, const std::vector<std::string>& choices);
// "a, b or c"
std::string listed(const std::vector<std::string>& words, const char* last = " or ");
