#include "plugin_loader.h"

#include <string>

#include "fx/plugin_library.h"

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
    handle_ = fxlib::open(FX_PLUGIN_PATH);
    if (!handle_) {
        ADD_FAILURE() << "loading " << FX_PLUGIN_PATH << ": " << fxlib::lastError();
        return;
    }
    libinfo = fxlib::symbol<FxLibInfoFn>(handle_, "fx_libinfo");
    create = fxlib::symbol<FxCreateFn>(handle_, "fx_create");
    destroy = fxlib::symbol<FxDeleteFn>(handle_, "fx_delete");
    EXPECT_TRUE(loaded());
}

PluginLoader::~PluginLoader() {
    if (handle_) fxlib::close(handle_);
}
