// Loads the built plug-in (dlopen, or LoadLibrary on Windows) and drives it
// only through its three exports and the effect table, as the host does.
#pragma once

#include "fx/abi.h"

class PluginLoader {
public:
    PluginLoader();  // loads FX_PLUGIN_PATH; fails the test when it cannot
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    bool loaded() const { return handle_ && libinfo && create && destroy; }
    FxLibInfoFn libinfo = nullptr;
    FxCreateFn create = nullptr;
    FxDeleteFn destroy = nullptr;

private:
    void* handle_ = nullptr;
};
