// fxhost's session reader under libFuzzer: any bytes give either a session
// whose every value lies in its range or one line naming the file and the
// field, never a crash or the JSON library's own words.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kit/errors.h"
#include "memory_file.h"
#include "ranges.h"
#include "session.h"

namespace {
[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "session_fuzzer: %s\n", what);
    std::abort();
}

const MemoryFile& file() {
    static const MemoryFile memory("session.json");
    return memory;
}

void checkRanges(const Session& s) {
    if (s.frames < 1 || s.frames > kMaxFrames) fail("frames out of range");
    if (!(s.fps >= kMinFps && s.fps <= kMaxFps)) fail("fps out of range");
    for (const ParamSetting& setting : s.settings) {
        if (setting.frame < 0 || setting.frame > s.frames) fail("an edit's frame out of range");
        if (setting.effectIndex < 0 || size_t(setting.effectIndex) >= s.effects.size()) fail("an edit of no effect");
        if (setting.where.empty()) fail("a setting that names no field");
    }
    if (s.camera) {
        const Camera& c = *s.camera;
        if (!std::isfinite(c.yaw) || !(c.pitch >= -90.0 && c.pitch <= 90.0) || !(c.distance > 0.0) ||
            !std::isfinite(c.distance) || !(c.radius > 0.0) || !std::isfinite(c.radius))
            fail("a camera out of range");
        for (double t : c.target)
            if (!std::isfinite(t)) fail("a camera target not finite");
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    file().write(data, size);
    try {
        const Session session = loadSession(file().path());
        checkRanges(session);
        // Applied to a run as `run --session` does: a stack and settings, or a refusal.
        PlaybackOptions options;
        useSession(session, options, false, false);
        checkPlayback(options);
    } catch (const UsageError& e) {
        if (std::string(e.what()).empty()) fail("an error without a message");
    } catch (const RunError& e) {
        const std::string what = e.what();
        if (what.rfind(file().path(), 0) != 0) fail("an error that does not name the file");
        // The parser's exception names, unless the message quotes them from the input.
        const std::string input(reinterpret_cast<const char*>(data), size);
        if (what.find("json.exception") != std::string::npos && input.find("json.exception") == std::string::npos)
            fail("the JSON library's words");
    }
    return 0;
}
