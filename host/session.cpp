#include "session.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>

#include "atomic_file.h"
#include "input_file.h"
#include "kit/effect_stack.h"
#include "kit/errors.h"
#include "kit/names.h"
#include "ranges.h"

using nlohmann::json;
namespace fs = std::filesystem;

namespace {
constexpr double kFar = 1e30;  // no camera value a viewer saves comes near

// Reads a session's JSON, naming each value by its path in every refusal.
class Reader {
public:
    explicit Reader(std::string file) : file_(std::move(file)) {}

    [[noreturn]] void refuse(const std::string& field, const std::string& why) const {
        throw RunError(file_ + ": " + (field.empty() ? "" : field + ": ") + why);
    }
    std::string label(const std::string& field) const { return file_ + ": " + field; }

    // An object whose keys are all known.
    const json& object(const json& v, const std::string& field, std::initializer_list<const char*> known,
                       const char* what) const {
        if (!v.is_object()) refuse(field, std::string("expected an object (") + what + ")");
        const std::vector<std::string> names(known.begin(), known.end());
        for (const auto& item : v.items())
            if (std::find(names.begin(), names.end(), item.key()) == names.end())
                refuse(join(field, item.key()), "unknown field" + orKnown(item.key(), names));
        return v;
    }
    const json& array(const json& v, const std::string& field) const {
        if (!v.is_array()) refuse(field, "expected an array");
        return v;
    }
    long long whole(const json& v, const std::string& field, long long low, long long high,
                    const std::string& what = "a whole number") const {
        long long out = 0;
        if (!v.is_number_integer() || !readWhole(v.dump(), low, high, out).empty())
            refuse(field, "expected " + what + " from " + std::to_string(low) + " to " + std::to_string(high));
        return out;
    }
    double number(const json& v, const std::string& field, double low, double high) const {
        if (!v.is_number() || !(v.get<double>() >= low && v.get<double>() <= high))
            refuse(field, "expected a number from " + limitText(low) + " to " + limitText(high));
        return v.get<double>();
    }
    bool flag(const json& v, const std::string& field) const {
        if (!v.is_boolean()) refuse(field, "expected true or false");
        return v.get<bool>();
    }
    std::string text(const json& v, const std::string& field) const {
        if (!v.is_string()) refuse(field, "expected a string");
        return v.get<std::string>();
    }
    // A parameter's value as --set takes it; the number as written.
    std::string value(const json& v, const std::string& field) const {
        if (v.is_number()) return v.dump();
        if (v.is_boolean()) return v.get<bool>() ? "1" : "0";
        if (v.is_array() && v.size() == 3 && v[0].is_number() && v[1].is_number() && v[2].is_number())
            return v[0].dump() + "," + v[1].dump() + "," + v[2].dump();
        refuse(field, "expected a number, true or false, or [x, y, z]");
    }

    static std::string join(const std::string& field, const std::string& key) {
        return field.empty() ? key : field + "." + key;
    }
    static std::string item(const std::string& field, size_t i) { return field + "[" + std::to_string(i) + "]"; }

private:
    static std::string orKnown(const std::string& key, const std::vector<std::string>& names) {
        const std::string suggestion = didYouMean(key, names, "'");
        return suggestion.empty() ? " (known: " + listed(names, ", ") + ")" : suggestion;
    }
    std::string file_;
};

ParamSetting setting(const Reader& r, const std::string& field, int frame, int effect, const std::string& name,
                     const std::string& value) {
    ParamSetting s;
    s.frame = frame;
    s.effectIndex = effect;
    s.name = name;
    s.value = value;
    s.text = (frame ? std::to_string(frame) + ":" : "") + "#" + std::to_string(effect + 1) + "." + name + "=" + value;
    s.where = r.label(field);
    return s;
}

Session fromJson(const Reader& r, const json& j, const fs::path& folder) {
    Session session;
    r.object(j, "", {"version", "scene", "frames", "fps", "effects", "camera"}, "a session");
    if (j.contains("version")) {
        const long long version = r.whole(j["version"], "version", 1, std::numeric_limits<int>::max());
        if (version > kSessionVersion)
            r.refuse("version", std::to_string(version) + " is a newer session than this fxhost reads (" +
                                    std::to_string(kSessionVersion) + ")");
    }
    if (j.contains("scene") && !j["scene"].is_null()) {
        const fs::path scene = r.text(j["scene"], "scene");
        if (scene.empty()) r.refuse("scene", "expected a file name, or null for the built-in scene");
        session.scenePath = (scene.is_relative() ? folder / scene : scene).string();
    }
    if (j.contains("frames")) session.frames = int(r.whole(j["frames"], "frames", 1, kMaxFrames));
    if (j.contains("fps")) session.fps = r.number(j["fps"], "fps", kMinFps, kMaxFps);
    const json none = json::array();
    const json& effects = j.contains("effects") ? r.array(j["effects"], "effects") : none;
    if (effects.size() > kMaxStackEffects) r.refuse("effects", stackTooLong(effects.size()));
    for (size_t i = 0; i < effects.size(); ++i) {
        const std::string field = Reader::item("effects", i);
        const json& e = r.object(effects[i], field, {"name", "bypassed", "params", "edits"}, "an effect");
        if (!e.contains("name")) r.refuse(field, "an effect needs a name");
        SessionEffect effect{r.text(e["name"], field + ".name"), false};
        if (e.contains("bypassed")) effect.bypassed = r.flag(e["bypassed"], field + ".bypassed");
        session.effects.push_back(effect);
        if (e.contains("params")) {
            if (!e["params"].is_object()) r.refuse(field + ".params", "expected an object of values by parameter name");
            for (const auto& p : e["params"].items()) {
                const std::string at = field + ".params." + p.key();
                session.settings.push_back(setting(r, at, 0, int(i), p.key(), r.value(p.value(), at)));
            }
        }
        const json& edits = e.contains("edits") ? r.array(e["edits"], field + ".edits") : none;
        for (size_t k = 0; k < edits.size(); ++k) {
            const std::string at = Reader::item(field + ".edits", k);
            const json& edit = r.object(edits[k], at, {"frame", "param", "value"}, "an edit");
            for (const char* key : {"frame", "param", "value"})
                if (!edit.contains(key)) r.refuse(at, std::string("an edit needs a ") + key);
            const int frame = int(r.whole(edit["frame"], at + ".frame", 1, session.frames, "a frame number"));
            session.settings.push_back(setting(r, at + ".value", frame, int(i), r.text(edit["param"], at + ".param"),
                                               r.value(edit["value"], at + ".value")));
        }
    }
    if (j.contains("camera")) {
        const json& c = r.object(j["camera"], "camera", {"up", "yaw", "pitch", "distance", "radius", "target"},
                                 "a camera");
        for (const char* key : {"yaw", "pitch", "distance", "target"})
            if (!c.contains(key)) r.refuse("camera", std::string("a camera needs a ") + key);
        Camera camera;
        if (c.contains("up")) {
            const std::string up = r.text(c["up"], "camera.up");
            if (up != "y" && up != "z") r.refuse("camera.up", "expected y or z");
            camera.up = parseUpAxis(up, "camera.up");
        }
        camera.yaw = r.number(c["yaw"], "camera.yaw", -kFar, kFar);
        camera.pitch = r.number(c["pitch"], "camera.pitch", -90.0, 90.0);
        camera.distance = r.number(c["distance"], "camera.distance", 1e-6, kFar);
        if (c.contains("radius")) camera.radius = r.number(c["radius"], "camera.radius", 1e-6, kFar);
        const json& target = r.array(c["target"], "camera.target");
        if (target.size() != 3) r.refuse("camera.target", "expected [x, y, z]");
        for (size_t k = 0; k < 3; ++k) camera.target[k] = r.number(target[k], Reader::item("camera.target", k), -kFar, kFar);
        session.camera = camera;
    }
    return session;
}

// "line 3, column 1" of the parser's byte position (counted from 1).
std::string position(const std::string& text, size_t byte) {
    size_t line = 1, column = 1;
    for (size_t i = 0; i + 1 < byte && i < text.size(); ++i) {
        if (text[i] == '\n') ++line, column = 1;
        else ++column;
    }
    return std::to_string(line) + ":" + std::to_string(column);
}

// The parser's reason without its exception's name: "[json.exception.parse_error.101] parse error at
// line 3, column 1: syntax error ..." gives "syntax error ...".
std::string reason(const std::string& what) {
    std::string out = what;
    if (out.rfind("[json.exception.", 0) == 0 && out.find("] ") != std::string::npos) out = out.substr(out.find("] ") + 2);
    if (out.rfind("parse error", 0) == 0 && out.find(": ") != std::string::npos) out = out.substr(out.find(": ") + 2);
    return out;
}
}  // namespace

std::string effectField(const Session& session, size_t i) {
    return session.path + ": effects[" + std::to_string(i) + "].name";
}

Session loadSession(const std::string& path) {
    const std::string text = readInput(path, "session", kMaxTextBytes);
    // A session nests six deep (an edit's point); a file of nothing but brackets would
    // otherwise take gigabytes before it is refused.
    constexpr int kMaxDepth = 8;
    const auto shallow = [&](int depth, json::parse_event_t, json&) {
        if (depth >= kMaxDepth)
            throw RunError(path + ": values nested more than " + std::to_string(kMaxDepth) + " deep: not a session");
        return true;
    };
    json j;
    try {
        j = json::parse(text, shallow);
    } catch (const json::parse_error& e) {
        throw RunError(path + ":" + position(text, e.byte) + ": not JSON: " + reason(e.what()));
    } catch (const json::exception& e) {
        throw RunError(path + ": not JSON: " + reason(e.what()));
    }
    Session session = fromJson(Reader(path), j, fs::absolute(path).parent_path());
    session.path = path;
    return session;
}

namespace {
json valueJson(const std::string& value) {
    json out = json::array();
    size_t start = 0;
    for (size_t comma; (comma = value.find(',', start)) != std::string::npos; start = comma + 1)
        out.push_back(std::stod(value.substr(start, comma - start)));
    out.push_back(std::stod(value.substr(start)));
    return out.size() == 1 ? out[0] : out;
}
}  // namespace

void saveSession(const Session& session, const std::string& path) {
    json j;
    j["version"] = kSessionVersion;
    j["scene"] = session.scenePath.empty() ? json() : json(fs::absolute(session.scenePath).string());
    j["frames"] = session.frames;
    j["fps"] = session.fps;
    j["effects"] = json::array();
    for (const SessionEffect& e : session.effects)
        j["effects"].push_back({{"name", e.name}, {"bypassed", e.bypassed}, {"params", json::object()},
                                {"edits", json::array()}});
    for (const ParamSetting& s : session.settings) {
        json& effect = j["effects"].at(size_t(s.effectIndex));
        if (s.frame == 0)
            effect["params"][s.name] = valueJson(s.value);
        else
            effect["edits"].push_back({{"frame", s.frame}, {"param", s.name}, {"value", valueJson(s.value)}});
    }
    if (session.camera) {
        const Camera& c = *session.camera;
        j["camera"] = {{"up", upAxisName(c.up)}, {"yaw", c.yaw}, {"pitch", c.pitch}, {"distance", c.distance},
                       {"radius", c.radius}, {"target", {c.target[0], c.target[1], c.target[2]}}};
    }
    std::string text;
    try {
        text = j.dump(2);
    } catch (const json::type_error&) {  // the one string not of fxhost's making
        throw RunError("cannot save the session: the scene's path " + session.scenePath +
                       " is not UTF-8 text, and a session is");
    }
    writeAtomically(path, [&text](const std::string& temporary) {
        std::ofstream out(temporary, std::ios::binary);
        out << text << '\n';
        out.close();
        return bool(out);
    });
}

void useSession(const Session& session, PlaybackOptions& o, bool keepFrames, bool keepFps) {
    if (!o.effects.empty()) throw UsageError("--session gives the effects: name none besides it");
    o.effectsFile = session.path;
    for (const SessionEffect& e : session.effects) {
        o.effects.push_back(e.name);
        o.bypassed.push_back(e.bypassed);
    }
    if (!keepFrames) o.frames = session.frames;
    // A shorter run than the session's leaves the later edits out.
    for (const ParamSetting& setting : session.settings)
        if (setting.frame <= o.frames) o.fileSettings.push_back(setting);
    if (!keepFps) o.fps = session.fps;
    o.camera = session.camera;
    o.frameCamera = session.camera && !o.scenePath.empty();
    if (o.scenePath.empty()) o.scenePath = session.scenePath;
}
