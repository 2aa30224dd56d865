#include "session.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

#include "atomic_file.h"
#include "kit/errors.h"

using nlohmann::json;
namespace fs = std::filesystem;

namespace {
// The number as written, which resolving the setting reads as --set does.
std::string settingText(const json& value) {
    if (value.is_number()) return value.dump();
    if (value.is_boolean()) return value.get<bool>() ? "1" : "0";
    if (value.is_array() && value.size() == 3) {
        std::string out;
        for (const json& v : value) out += (out.empty() ? "" : ",") + settingText(v);
        return out;
    }
    throw RunError("a parameter value is a number or an array of three numbers");
}

json valueJson(const std::string& value) {
    json out = json::array();
    size_t start = 0;
    for (size_t comma; (comma = value.find(',', start)) != std::string::npos; start = comma + 1)
        out.push_back(std::stod(value.substr(start, comma - start)));
    out.push_back(std::stod(value.substr(start)));
    return out.size() == 1 ? out[0] : out;
}

ParamSetting setting(int frame, int effect, const std::string& name, const json& value) {
    ParamSetting s;
    s.frame = frame;
    s.effectIndex = effect;
    s.name = name;
    s.value = settingText(value);
    s.text = (frame ? std::to_string(frame) + ":" : "") + "#" + std::to_string(effect + 1) + "." + name + "=" + s.value;
    return s;
}

Session fromJson(const json& j, const fs::path& folder) {
    Session session;
    if (j.contains("scene") && !j["scene"].is_null()) {
        const fs::path scene = j["scene"].get<std::string>();
        session.scenePath = (scene.is_relative() ? folder / scene : scene).string();
    }
    session.frames = j.value("frames", session.frames);
    session.fps = j.value("fps", session.fps);
    for (const json& e : j.value("effects", json::array())) {
        const int index = int(session.effects.size());
        session.effects.push_back(SessionEffect{e.at("name").get<std::string>(), e.value("bypassed", false)});
        // Held here: items() refers to the object, which a temporary would take away before the loop.
        const json params = e.value("params", json::object());
        for (const auto& [name, value] : params.items()) session.settings.push_back(setting(0, index, name, value));
        for (const json& edit : e.value("edits", json::array())) {
            const int frame = edit.at("frame").get<int>();
            if (frame < 1) throw RunError("an edit's frame counts from 1");
            session.settings.push_back(setting(frame, index, edit.at("param").get<std::string>(), edit.at("value")));
        }
    }
    if (j.contains("camera")) {
        const json& c = j["camera"];
        Camera camera;
        camera.up = parseUpAxis(c.value("up", "y"));
        camera.yaw = c.at("yaw").get<double>();
        camera.pitch = c.at("pitch").get<double>();
        camera.distance = c.at("distance").get<double>();
        camera.radius = c.value("radius", camera.radius);
        for (int k = 0; k < 3; ++k) camera.target[k] = c.at("target").at(k).get<double>();
        session.camera = camera;
    }
    return session;
}
}  // namespace

Session loadSession(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RunError(path + ": cannot open the session");
    try {
        return fromJson(json::parse(in), fs::absolute(path).parent_path());
    } catch (const std::exception& e) {
        throw RunError(path + ": not a viewer session: " + e.what());
    }
}

void saveSession(const Session& session, const std::string& path) {
    json j;
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
    writeAtomically(path, [&j](const std::string& temporary) {
        std::ofstream out(temporary, std::ios::binary);
        out << j.dump(2) << '\n';
        out.close();
        return bool(out);
    });
}

void useSession(const Session& session, PlaybackOptions& o, bool keepFrames, bool keepFps) {
    if (!o.effects.empty() || !o.scenePath.empty())
        throw UsageError("--session gives the scene and the effects: name neither besides it");
    o.scenePath = session.scenePath;
    o.bypassed.clear();
    for (const SessionEffect& e : session.effects) {
        o.effects.push_back(e.name);
        o.bypassed.push_back(e.bypassed);
    }
    if (!keepFrames) o.frames = session.frames;
    // A shorter run than the session's leaves the later edits out.
    std::vector<ParamSetting> settings;
    for (const ParamSetting& setting : session.settings)
        if (setting.frame <= o.frames) settings.push_back(setting);
    o.settings.insert(o.settings.begin(), settings.begin(), settings.end());
    if (!keepFps) o.fps = session.fps;
    o.camera = session.camera;
}
