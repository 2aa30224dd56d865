#include "viewer_script.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>

#include "../input_file.h"
#include "../interrupt.h"
#include "../ranges.h"
#include "kit/errors.h"
#include "kit/names.h"
#include "kit/param_setting.h"
#include "viewer.h"

namespace {
// An action's words after its name: a count, or the rest of the line.
constexpr int kRest = -1;        // one word or more
constexpr int kRestOrNone = -2;  // maybe none

struct Action {
    const char* name;
    int words;
    const char* takes;
    const char* does;
};
const Action kActions[] = {
    {"scene", kRestOrNone, "[PATH]", "open a scene file (none: the built-in scene)"},
    {"add", 1, "EFFECT", "add an effect at the end of the stack"},
    {"remove", 1, "N", "remove the stack's Nth effect (counted from 1)"},
    {"move", 2, "N M", "move the Nth effect to place M"},
    {"bypass", 2, "N on|off", "bypass the Nth effect, or run it again"},
    {"set", kRest, "[N] NAME=VALUE", "edit a parameter of the Nth effect, or of every effect that has it"},
    {"frame", 1, "N", "show frame N; prints how long it took"},
    {"play", 1, "FRAMES", "play that many frames; prints the time per frame"},
    {"frames", 1, "N", "the number of frames"},
    {"fps", 1, "F", "frames per second"},
    {"orbit", 2, "DX DY", "turn the camera by degrees right and up"},
    {"pan", 2, "DX DY", "move the camera by fractions of the picture's height"},
    {"zoom", 1, "F", "come closer by the factor F"},
    {"view", 1, "NAME", "look from three-quarter, front, top or side"},
    {"up", 1, "y|z", "the scene's up axis"},
    {"frame-all", 0, "", "frame the whole scene"},
    {"show", 2, "WHAT on|off", "show or hide the gizmos, mesh, wireframe, curves or particles"},
    {"wait", 1, "FRAMES", "draw that many frames before the next action"},
    {"screenshot", kRest, "PATH", "write the picture as PNG"},
    {"screenshot-window", kRest, "PATH", "write the whole window as PNG"},
    {"save-frame", kRest, "PATH", "write the frame shown as OBJ"},
    {"save-session", kRest, "PATH", "write the session as JSON"},
    {"load-session", kRest, "PATH", "read a session"},
    {"fit", 1, "N", "bring the Nth effect's centre and reach to the scene"},
    {"quit", 0, "", "close the window"},
};

const Action* findAction(const std::string& name) {
    for (const Action& a : kActions)
        if (name == a.name) return &a;
    return nullptr;
}

double number(const std::string& word, double low, double high) {
    double v = 0;
    const std::string why = readNumber(word, low, high, v);
    if (!why.empty()) throw UsageError(quoted(word) + ": " + why);
    return v;
}

int count(const std::string& word, int low, int high) {
    long long v = 0;
    const std::string why = readWhole(word, low, high, v);
    if (!why.empty()) throw UsageError(quoted(word) + ": " + why);
    return int(v);
}

bool onOff(const std::string& word) {
    if (word == "on") return true;
    if (word == "off") return false;
    throw UsageError(quoted(word) + ": expected on or off");
}

size_t entry(Viewer& viewer, const std::string& word) {
    long long n = 0;
    if (!readWhole(word, 1, 1000000, n).empty() || size_t(n) > viewer.timeline().size())
        throw UsageError("no effect " + word + " in the stack of " + std::to_string(viewer.timeline().size()));
    return size_t(n - 1);
}
}  // namespace

std::string scriptActions() {
    std::string out;
    for (const Action& a : kActions) {
        std::string head = std::string("  ") + a.name + (*a.takes ? " " : "") + a.takes;
        head.resize(std::max<size_t>(head.size() + 2, 30), ' ');
        out += head + a.does + "\n";
    }
    return out;
}

ViewerScript::ViewerScript(const std::string& path) : path_(path) {
    std::istringstream in(readInput(path, "script", kMaxTextBytes));
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        const std::string at = path + ":" + std::to_string(number) + ": ";
        if (text.find('\0') != std::string::npos) throw RunError(at + "a NUL byte: a script is text, an action a line");
        std::istringstream words(text);
        Line line{number, {}, ""};
        for (std::string w; words >> w;) line.words.push_back(w);
        if (line.words.empty() || line.words[0][0] == '#') continue;
        const Action* action = findAction(line.words[0]);
        if (!action) {
            std::vector<std::string> names;
            for (const Action& a : kActions) names.push_back(a.name);
            throw RunError(at + "unknown action " + quoted(line.words[0]) + didYouMean(line.words[0], names));
        }
        if (action->words >= 0 ? line.words.size() != size_t(action->words) + 1
                               : action->words == kRest && line.words.size() == 1)
            throw RunError(at + "expected " + action->name + (*action->takes ? " " : "") + action->takes);
        const size_t start = text.find(line.words[0]) + line.words[0].size();
        line.rest = text.substr(text.find_first_not_of(" \t", start) == std::string::npos
                                    ? text.size() : text.find_first_not_of(" \t", start));
        while (!line.rest.empty() && (line.rest.back() == ' ' || line.rest.back() == '\r')) line.rest.pop_back();
        lines_.push_back(line);
    }
}

bool ViewerScript::step(Viewer& viewer) {
    if (played_ > 0 && playing_ == 0) viewer.play(false), played_ = 0;
    if (playing_ > 0 || waiting_ > 0 || next_ >= lines_.size()) return true;
    const Line& line = lines_[next_++];
    try {
        execute(viewer, line);
    } catch (const Interrupted&) {
        throw;
    } catch (const std::exception& e) {
        fail(viewer, line.number, messageOf(e));
        return false;
    }
    return true;
}

void ViewerScript::fail(Viewer& viewer, int number, const std::string& why) {
    viewer.say(path_ + ":" + std::to_string(number) + ": " + why, true);
    next_ = lines_.size(), playing_ = waiting_ = 0;
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
    // The script is an input as the scene is: nothing it saves lands on it.
    if ((command == "screenshot" || command == "screenshot-window" || command == "save-frame" ||
         command == "save-session") && sameFile(line.rest, path_))
        throw UsageError("saving would overwrite the script " + line.rest);
    if (command == "scene") viewer.openScene(line.rest);
    else if (command == "add") timeline.add(w[1]);
    else if (command == "remove") timeline.remove(entry(viewer, w[1]));
    // Arguments are checked in the order they are written, so a refusal names the first bad one.
    else if (command == "move") {
        const size_t from = entry(viewer, w[1]);
        timeline.move(from, entry(viewer, w[2]));
    }
    else if (command == "bypass") {
        const size_t which = entry(viewer, w[1]);
        timeline.setBypassed(which, onOff(w[2]));
    }
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
        const std::string name = unblanked(assignment.substr(0, equals)), value = assignment.substr(equals + 1);
        bool found = false;
        for (size_t i : effects) {
            const std::vector<HostParam>& params = timeline.params(i);
            // The edit replays the stack, whose effects then register anew: look first, then edit.
            if (std::any_of(params.begin(), params.end(), [&name](const HostParam& p) { return p.name == name; })) {
                viewer.edit(i, name, value);
                found = true;
            }
        }
        if (!found) throw UsageError("set: no effect of the stack has a parameter " + quoted(name));
    } else if (command == "frame") {
        const int frame = count(w[1], 1, timeline.frames());
        playClock_ = std::clock();
        timeline.show(frame);
        timeFrame_ = true;
    } else if (command == "play") {
        playing_ = count(w[1], 1, kMaxFrames);
        played_ = 0;
        playSeconds_ = 0.0;
        playClock_ = std::clock();
        viewer.play(playing_ > 0);
    }
    else if (command == "frames") timeline.setFrames(count(w[1], 1, kMaxFrames));
    else if (command == "fps") timeline.setFps(number(w[1], kMinFps, kMaxFps));
    else if (command == "orbit" || command == "pan") {
        const double dx = number(w[1], -1e6, 1e6), dy = number(w[2], -1e6, 1e6);
        if (command == "orbit")
            viewer.camera().orbit(dx, dy);
        else
            viewer.camera().pan(dx, dy);
    }
    else if (command == "zoom") viewer.camera().zoom(number(w[1], 1e-3, 1e3));
    else if (command == "view") viewer.setView(parseView(w[1], quoted(w[1])));
    else if (command == "up") viewer.setUp(parseUpAxis(w[1], quoted(w[1])));
    else if (command == "frame-all") viewer.frameAll();
    else if (command == "show") {
        DrawOptions& show = viewer.show();
        const std::map<std::string, bool*> what = {{"gizmos", &show.gizmos}, {"mesh", &show.mesh},
                                                   {"wireframe", &show.wireframe}, {"curves", &show.curves},
                                                   {"particles", &show.particles}};
        const auto it = what.find(w[1]);
        if (it == what.end()) throw UsageError(quoted(w[1]) + ": expected gizmos, mesh, wireframe, curves or particles");
        *it->second = onOff(w[2]);
    }
    else if (command == "wait") waiting_ = count(w[1], 0, kMaxFrames);
    else if (command == "screenshot") viewer.screenshot(line.rest, false, line.number);
    else if (command == "screenshot-window") viewer.screenshot(line.rest, true, line.number);
    else if (command == "save-frame") timeline.saveFrame(line.rest);
    else if (command == "save-session") viewer.saveSession(line.rest);
    else if (command == "load-session") viewer.loadSession(line.rest);
    else if (command == "fit") viewer.fitToScene(entry(viewer, w[1]));
    else if (command == "quit") viewer.quit();
}
