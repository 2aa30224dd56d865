// A recording stand-in for the OpenGL calls of the library, linked in place
// of libGL into the programs that run effects without drawing (the tests,
// the fuzzers, the 32-bit bench); on Windows the opengl32.dll beside them.
#pragma once

#include <string>
#include <vector>

struct GlCall {
    std::string op;  // "begin", "end", "vertex", "color", "deleteLists"
    float a = 0, b = 0, c = 0;
    unsigned mode = 0;  // glBegin's mode, glDeleteLists' list
    int n = 0;          // glDeleteLists' range
};

#if defined(_WIN32) && defined(FX_RECORDING_GL_BUILD)
#define FX_RECORDING_GL_API __declspec(dllexport)
#elif defined(_WIN32)
#define FX_RECORDING_GL_API __declspec(dllimport)
#else
#define FX_RECORDING_GL_API
#endif

// Every call since the last clear.
FX_RECORDING_GL_API std::vector<GlCall>& glLog();
FX_RECORDING_GL_API void clearGlLog();
// Only the calls of one kind, e.g. glCalls("vertex").
FX_RECORDING_GL_API std::vector<GlCall> glCalls(const std::string& op);
