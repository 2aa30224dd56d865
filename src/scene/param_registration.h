// Typed parameter registration on the host's parameter interface. The kind
// travels as a suffix of the name; each kind builds its names in one static
// 256-byte buffer shared by every effect, so the host must copy the name.
#pragma once

#include "fx/abi.h"

// A flag is on at 0.5 or more; a NaN is off.
inline bool isOn(float flag) { return flag >= 0.5f; }

// Stores 1.0 or 0.0, registers name + " [b]".
void addBool(FxParamHost* host, const char* name, float* value, bool defaultOn);
// Stores (d + 1) * 0.5 in single precision, registers name + " [s]".
void addScalar(FxParamHost* host, const char* name, float* value, float d);
// Copies the three defaults, registers name + " [p3x]", " [p3y]", " [p3z]".
void addPoint(FxParamHost* host, const char* name, float* xyz, const float* defaults);
inline void addPoint(FxParamHost* host, const char* name, Vec3* point, Vec3 defaults) {
    addPoint(host, name, &point->x, &defaults.x);
}
// A parameter under its bare name, stored unmapped.
void addBare(FxParamHost* host, const char* name, float* value, float initial);

// The signed value -1..1 of a scalar stored as 0..1.
inline float signedValue(float v) { return float(2.0 * v - 1.0); }
