#include "test_host.h"

#include <gtest/gtest.h>

#include "fx/plugin_library.h"

float& RecordingParamHost::operator[](const std::string& fullName) const {
    if (const Registration* r = registration(fullName)) return *r->value;
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

std::unique_ptr<Plugin> loadBuiltPlugin() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    if (test && !std::string(test->test_suite_name()).ends_with("ThroughLibrary"))
        ADD_FAILURE() << test->test_suite_name() << "." << test->name()
                      << " loads the plug-in: its suite's name must end in ThroughLibrary for the memcheck run";
    try {
        return std::make_unique<Plugin>(FX_PLUGIN_PATH, fxlib::Bind::AtLoad);
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
        return nullptr;
    }
}
