// The OpenGL 1.1 entry points the library calls.
#pragma once

#if defined(_WIN32)
// What MinGW's GL/gl.h would otherwise take from <windows.h>, whose macros
// (near, far, min, max) would reach every file that draws.
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif
#endif
#include <GL/gl.h>
