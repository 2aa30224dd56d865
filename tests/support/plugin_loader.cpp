#include "plugin_loader.h"

#include <dlfcn.h>

#include <string>

#include <gtest/gtest.h>

namespace {
// The memcheck run of tests/CMakeLists.txt picks the tests that load the
// plug-in by their suite's name (filter *ThroughLibrary.*); a test that the
// filter would miss fails.
void expectNamedForMemcheck() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    if (!test) return;
    const std::string suite = test->test_suite_name();
    const std::string ending = "ThroughLibrary";
    if (suite.size() < ending.size() || suite.compare(suite.size() - ending.size(), ending.size(), ending) != 0)
        ADD_FAILURE() << suite << "." << test->name()
                      << " loads the plug-in: its suite's name must end in ThroughLibrary for the memcheck run";
}
}  // namespace

PluginLoader::PluginLoader() {
    expectNamedForMemcheck();
    handle_ = dlopen(FX_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        ADD_FAILURE() << "dlopen " << FX_PLUGIN_PATH << ": " << dlerror();
        return;
    }
    libinfo = reinterpret_cast<FxLibInfoFn>(dlsym(handle_, "fx_libinfo"));
    create = reinterpret_cast<FxCreateFn>(dlsym(handle_, "fx_create"));
    destroy = reinterpret_cast<FxDeleteFn>(dlsym(handle_, "fx_delete"));
    EXPECT_TRUE(loaded());
}

PluginLoader::~PluginLoader() {
    if (handle_) dlclose(handle_);
}
