// Opening the plug-in file and finding its exports, as every host of the
// plug-in does: dlopen on POSIX systems, LoadLibrary on Windows.
#pragma once

#include <string>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace fxlib {

// When the library's calls of other libraries' functions are bound. Windows
// binds them all at load; `OnCall` lets a plug-in built to take OpenGL from
// its host (the 32-bit Linux one) load into a process without OpenGL that
// never asks it to draw.
enum class Bind { AtLoad, OnCall };

// The loaded library, or null (then lastError() says why).
inline void* open(std::string path, Bind bind = Bind::AtLoad) {
#if defined(_WIN32)
    (void)bind;
    for (char& c : path)
        if (c == '/') c = '\\';
    return reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
#else
    return dlopen(path.c_str(), (bind == Bind::AtLoad ? RTLD_NOW : RTLD_LAZY) | RTLD_LOCAL);
#endif
}

// The export of that name, or null.
template <class Fn>
Fn symbol(void* library, const char* name) {
#if defined(_WIN32)
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)));
#else
    return reinterpret_cast<Fn>(dlsym(library, name));
#endif
}

inline void close(void* library) {
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(library));
#else
    dlclose(library);
#endif
}

// Why the last open failed, on one line.
inline std::string lastError() {
#if defined(_WIN32)
    const DWORD code = GetLastError();
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                   nullptr);
    std::string out(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
    return out.empty() ? "error " + std::to_string(code) : out;
#else
    const char* text = dlerror();
    return text ? text : "unknown error";
#endif
}

}  // namespace fxlib
