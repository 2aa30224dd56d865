#include "viewer_script.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>

#include "kit/errors.h"
#include "viewer.h"

namespace {
// Each command and how many words follow it (-1: the rest of the line, maybe empty).
const std::map<std::string, int> kArity = {
    {"scene", -1},       {"add", 1},          {"remove", 1},     {"move", 2},        {"bypass", 2},
    {"set", -1},         {"frame", 1},        {"play", 1},       {"frames", 1},      {"fps", 1},
    {"orbit", 2},        {"pan", 2},          {"zoom", 1},       {"view", 1},        {"up", 1},
    {"frame-all", 0},    {"show", 2},         {"wait", 1},       {"screenshot", -1}, {"screenshot-window", -1},
    {"save-frame", -1},  {"save-session", -1}, {"load-session", -1}, {"quit", 0},  {"fit", 1},
};

double number(const std::string& word) {
    size_t used = 0;
    double v = 0;
    try {
        v = std::stod(word, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != word.size()) throw UsageError("'" + word + "' is not a number");
    return v;
}

int count(const std::string& word) {
    const double v = number(word);
    if (v != double(int(v))) throw UsageError("'" + word + "' is not a whole number");
    return int(v);
}

bool onOff(const std::string& word) {
    if (word == "on") return true;
    if (word == "off") return false;
    throw UsageError("'" + word + "': expected on or off");
}

size_t entry(Viewer& viewer, const std::string& word) {
    const int n = count(word);
    if (n < 1 || size_t(n) > viewer.timeline().size())
        throw UsageError("no effect " + word + " in the stack of " + std::to_string(viewer.timeline().size()));
    return size_t(n - 1);
}
}  // namespace

ViewerScript::ViewerScript(const std::string& path) : path_(path) {
    std::ifstream in(path);
    if (!in) throw RunError(path + ": cannot read the script");
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        std::istringstream words(text);
        Line line{number, {}, ""};
        for (std::string w; words >> w;) line.words.push_back(w);
        if (line.words.empty() || line.words[0][0] == '#') continue;
        const auto arity = kArity.find(line.words[0]);
        if (arity == kArity.end())
            throw UsageError(path + ":" + std::to_string(number) + ": unknown action '" + line.words[0] + "'");
        if (arity->second >= 0 && line.words.size() != size_t(arity->second) + 1)
            throw UsageError(path + ":" + std::to_string(number) + ": " + line.words[0] + " takes " +
                             std::to_string(arity->second) + " argument(s)");
        const size_t start = text.find(line.words[0]) + line.words[0].size();
        line.rest = text.substr(text.find_first_not_of(" \t", start) == std::string::npos
                                    ? text.size() : text.find_first_not_of(" \t", start));
        while (!line.rest.empty() && (line.rest.back() == ' ' || line.rest.back() == '\r')) line.rest.pop_back();
        lines_.push_back(line);
    }
}

void ViewerScript::step(Viewer& viewer) {
    if (played_ > 0 && playing_ == 0) viewer.play(false), played_ = 0;
    if (playing_ > 0 || waiting_ > 0) return;
    if (next_ >= lines_.size()) return;
    const Line& line = lines_[next_++];
    try {
        execute(viewer, line);
    } catch (const std::exception& e) {
        viewer.say(path_ + ":" + std::to_string(line.number) + ": " + e.what(), true);
    }
}

void ViewerScript::frameDone(double seconds) {
    if (timeFrame_)
        std::printf("frame shown in %.1f ms (%.1f ms of processor time)\n", 1000.0 * seconds,
                    1000.0 * double(std::clock() - playClock_) / CLOCKS_PER_SEC);
    timeFrame_ = false;
    if (waiting_ > 0) --waiting_;
    if (playing_ > 0) {
        playSeconds_ += seconds;
        ++played_;
        // The processor time tells the cost when other programs share the machine.
        if (--playing_ == 0)
            std::printf("played %d frames: %.2f ms per frame, %.1f frames per second (%.2f ms of processor time)\n",
                        played_, 1000.0 * playSeconds_ / played_, played_ / playSeconds_,
                        1000.0 * double(std::clock() - playClock_) / CLOCKS_PER_SEC / played_);
    }
    std::fflush(stdout);
}

void ViewerScript::execute(Viewer& viewer, const Line& line) {
    const std::string& command = line.words[0];
    const std::vector<std::string>& w = line.words;
    Timeline& timeline = viewer.timeline();
    if (command == "scene") viewer.openScene(line.rest);
    else if (command == "add") timeline.add(w[1]);
    else if (command == "remove") timeline.remove(entry(viewer, w[1]));
    else if (command == "move") timeline.move(entry(viewer, w[1]), entry(viewer, w[2]));
    else if (command == "bypass") timeline.setBypassed(entry(viewer, w[1]), onOff(w[2]));
    else if (command == "set") {
        std::string assignment = line.rest;
        std::vector<size_t> effects;
        if (w.size() > 2 && w[1].find_first_not_of("0123456789") == std::string::npos) {
            effects.push_back(entry(viewer, w[1]));
            assignment = assignment.substr(assignment.find(w[1]) + w[1].size() + 1);
        } else {
            for (size_t i = 0; i < timeline.size(); ++i) effects.push_back(i);
        }
        const size_t equals = assignment.find('=');
        if (equals == std::string::npos) throw UsageError("set: expected [N] NAME=VALUE");
        const std::string name = assignment.substr(0, equals), value = assignment.substr(equals + 1);
        bool found = false;
        for (size_t i : effects) {
            const std::vector<HostParam>& params = timeline.params(i);
            // The edit replays the stack, whose effects then register anew: look first, then edit.
            if (std::any_of(params.begin(), params.end(), [&name](const HostParam& p) { return p.name == name; })) {
                viewer.edit(i, name, value);
                found = true;
            }
        }
        if (!found) throw UsageError("set: no effect of the stack has a parameter '" + name + "'");
    } else if (command == "frame") {
        playClock_ = std::clock();
        timeline.show(count(w[1]));
        timeFrame_ = true;
    } else if (command == "play") {
        playing_ = count(w[1]);
        played_ = 0;
        playSeconds_ = 0.0;
        playClock_ = std::clock();
        viewer.play(playing_ > 0);
    }
    else if (command == "frames") timeline.setFrames(count(w[1]));
    else if (command == "fps") timeline.setFps(number(w[1]));
    else if (command == "orbit") viewer.camera().orbit(number(w[1]), number(w[2]));
    else if (command == "pan") viewer.camera().pan(number(w[1]), number(w[2]));
    else if (command == "zoom") viewer.camera().zoom(number(w[1]));
    else if (command == "view") viewer.setView(parseView(w[1]));
    else if (command == "up") viewer.setUp(parseUpAxis(w[1]));
    else if (command == "frame-all") viewer.frameAll();
    else if (command == "show") {
        DrawOptions& show = viewer.show();
        const std::map<std::string, bool*> what = {{"gizmos", &show.gizmos}, {"mesh", &show.mesh},
                                                   {"wireframe", &show.wireframe}, {"curves", &show.curves},
                                                   {"particles", &show.particles}};
        const auto it = what.find(w[1]);
        if (it == what.end()) throw UsageError("show: no figure '" + w[1] + "'");
        *it->second = onOff(w[2]);
    }
    else if (command == "wait") waiting_ = count(w[1]);
    else if (command == "screenshot") viewer.screenshot(line.rest, false);
    else if (command == "screenshot-window") viewer.screenshot(line.rest, true);
    else if (command == "save-frame") timeline.saveFrame(line.rest);
    else if (command == "save-session") viewer.saveSession(line.rest);
    else if (command == "load-session") viewer.loadSession(line.rest);
    else if (command == "fit") viewer.fitToScene(entry(viewer, w[1]));
    else if (command == "quit") viewer.quit();
}
