// The tests' side of the host kit: lookups that fail the test when a
// parameter is absent, and the built plug-in loaded as a host loads it.
#pragma once

#include <memory>
#include <string>

#include "kit/host_data.h"
#include "kit/param_host.h"
#include "kit/plugin_loader.h"

class RecordingParamHost final : public ParamHost {
public:
    // The float registered under this full name ("speed [s]"); fails the test if absent.
    float& operator[](const std::string& fullName) const;
    // A point parameter registered as name [p3x], [p3y], [p3z].
    void setPoint(const std::string& name, Vec3 v) const;
    Vec3 point(const std::string& name) const;
};

// FX_PLUGIN_PATH, every symbol bound at load; null, with the test failed,
// when it does not load. The memcheck run of tests/CMakeLists.txt picks the
// tests that load it by their suite's name (filter *ThroughLibrary.*): a
// test that the filter would miss fails.
std::unique_ptr<Plugin> loadBuiltPlugin();
