// The OpenGL 1.1 entry points the library calls.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#endif
#include <GL/gl.h>
