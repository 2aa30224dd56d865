// Files fxhost reads (scenes, sessions, viewer scripts), read whole and
// once: a pipe or /dev/stdin gives its bytes only once, and a device that
// never ends (/dev/urandom) is cut off at a size no such file reaches.
// Also what paths tell of files: whether two name one, and a file's kind.
#pragma once

#include <cstdint>
#include <string>

constexpr uint64_t kMaxSceneBytes = uint64_t(2) << 30;  // 2 GiB: tens of millions of vertices
constexpr uint64_t kMaxTextBytes = uint64_t(64) << 20;  // a session or a script

// The file's bytes, without a leading UTF-8 byte order mark. Throws
// RunError "PATH: reason" for a folder, a file that cannot be opened or
// read, one longer than `limit` or too large to hold; `what` names the kind
// in the messages ("scene").
std::string readInput(const std::string& path, const std::string& what, uint64_t limit);

// Whether two paths name one file (by other names or links too): an output
// is never written over an input.
bool sameFile(const std::string& a, const std::string& b);

// The path's extension in lower case (".glb" of "Run.GLB"): file kinds are told
// by their extension in any case.
std::string lowerExtension(const std::string& path);
