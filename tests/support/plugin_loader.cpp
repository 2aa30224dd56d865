#include "plugin_loader.h"

#include <dlfcn.h>

#include <gtest/gtest.h>

PluginLoader::PluginLoader() {
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
