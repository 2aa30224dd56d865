// The three functions the host finds in the library by name.
#pragma once

#include "fx/abi.h"

#if defined(_WIN32)
#define FX_EXPORT __declspec(dllexport)
#else
#define FX_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
FX_EXPORT const char* FX_CDECL fx_libinfo();
FX_EXPORT FxEffect* FX_CDECL fx_create(int index, char* name);
FX_EXPORT void FX_CDECL fx_delete(FxEffect* effect);
}
