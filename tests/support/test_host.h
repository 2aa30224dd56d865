// A host for the tests: it records every parameter the library registers;
// host_scene.h serves scenes and records the data calls.
#pragma once

#include <string>
#include <vector>

#include "fx/abi.h"
#include "host_scene.h"

struct Registration {
    std::string name;  // copied at the call
    const char* buffer;  // the pointer the library passed
    float* value;
    float initial;
};

class RecordingParamHost final : public FxParamHost {
public:
    void FX_THISCALL add(const char* name, float* value) override;

    std::vector<Registration> calls;
    // The float registered under this full name ("speed [s]"); fails the test if absent.
    float& operator[](const std::string& fullName) const;
    // Sets a point parameter registered as name [p3x], [p3y], [p3z].
    void setPoint(const std::string& name, Vec3 v) const;
    Vec3 point(const std::string& name) const;
    std::vector<std::string> names() const;
};
