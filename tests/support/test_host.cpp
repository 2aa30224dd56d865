#include "test_host.h"

#include <gtest/gtest.h>

void RecordingParamHost::add(const char* name, float* value) { calls.push_back({name, name, value, *value}); }

float& RecordingParamHost::operator[](const std::string& fullName) const {
    for (const Registration& r : calls)
        if (r.name == fullName) return *r.value;
    ADD_FAILURE() << "no parameter registered as \"" << fullName << "\"";
    static float nowhere;
    return nowhere;
}

void RecordingParamHost::setPoint(const std::string& name, Vec3 v) const {
    (*this)[name + " [p3x]"] = v.x;
    (*this)[name + " [p3y]"] = v.y;
    (*this)[name + " [p3z]"] = v.z;
}

Vec3 RecordingParamHost::point(const std::string& name) const {
    return {(*this)[name + " [p3x]"], (*this)[name + " [p3y]"], (*this)[name + " [p3z]"]};
}

std::vector<std::string> RecordingParamHost::names() const {
    std::vector<std::string> out;
    for (const Registration& r : calls) out.push_back(r.name);
    return out;
}
