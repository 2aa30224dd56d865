// A recording stand-in for the OpenGL calls of the library, linked into the
// test binaries in place of libGL.
#pragma once

#include <string>
#include <vector>

struct GlCall {
    std::string op;  // "begin", "end", "vertex", "color", "deleteLists"
    float a = 0, b = 0, c = 0;
    unsigned mode = 0;  // glBegin's mode, glDeleteLists' list
    int n = 0;          // glDeleteLists' range
};

// Every call since the last clear.
std::vector<GlCall>& glLog();
void clearGlLog();
// Only the calls of one kind, e.g. glCalls("vertex").
std::vector<GlCall> glCalls(const std::string& op);
