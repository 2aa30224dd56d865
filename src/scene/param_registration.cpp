#include "scene/param_registration.h"

#include <cstring>

namespace {
char flagNames[256];
char scalarNames[256];
char pointNames[256];

// The name is copied without a bound: every name of the library is short.
char* withSuffix(char* buffer, const char* name, const char* suffix) {
    const size_t n = std::strlen(name);
    std::memcpy(buffer, name, n);
    std::strcpy(buffer + n, suffix);
    return buffer + n;
}
}  // namespace

void addBool(FxParamHost* host, const char* name, float* value, bool defaultOn) {
    withSuffix(flagNames, name, " [b]");
    *value = defaultOn ? 1.0f : 0.0f;
    host->add(flagNames, value);
}

void addScalar(FxParamHost* host, const char* name, float* value, float d) {
    withSuffix(scalarNames, name, " [s]");
    *value = (d + 1.0f) * 0.5f;
    host->add(scalarNames, value);
}

void addPoint(FxParamHost* host, const char* name, float* xyz, const float* defaults) {
    char* suffix = withSuffix(pointNames, name, " [p3x]");
    xyz[0] = defaults[0];
    xyz[1] = defaults[1];
    xyz[2] = defaults[2];
    host->add(pointNames, &xyz[0]);
    std::strcpy(suffix, " [p3y]");
    host->add(pointNames, &xyz[1]);
    std::strcpy(suffix, " [p3z]");
    host->add(pointNames, &xyz[2]);
}

void addBare(FxParamHost* host, const char* name, float* value, float initial) {
    *value = initial;
    host->add(name, value);
}
