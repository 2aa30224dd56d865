// Loads generic.fx with dlopen (LoadLibrary on Windows) and reaches it only
// through its three exports, the way the host does.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fx/abi.h"

namespace fxlib {
enum class Bind;  // fx/plugin_library.h, kept out of here with the system headers it includes
}

class Plugin {
public:
    // Throws RunError. Bound on call unless told otherwise: the 32-bit Linux
    // plug-in takes OpenGL from its host, and a host built without OpenGL
    // never asks an effect to draw.
    explicit Plugin(const std::string& path);
    Plugin(const std::string& path, fxlib::Bind bind);
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    const std::string& path() const { return path_; }
    const char* libinfo() const { return libinfo_(); }
    // fx_create; `name` receives the catalogue name (buffer of 256 bytes).
    FxEffect* create(int index, char* name) const { return create_(index, name); }
    void destroy(FxEffect* effect) const { destroy_(effect); }

private:
    std::string path_;
    void* handle_ = nullptr;
    FxLibInfoFn libinfo_ = nullptr;
    FxCreateFn create_ = nullptr;
    FxDeleteFn destroy_ = nullptr;
};

// An effect object, released with fx_delete.
struct EffectDeleter {
    const Plugin* plugin;
    void operator()(FxEffect* effect) const { plugin->destroy(effect); }
};
using EffectPtr = std::unique_ptr<FxEffect, EffectDeleter>;

struct CatalogueRow {
    int index;
    std::string name;
    bool built;  // fx_create returned an object
    std::string description, author;
};

// fx_create for 0, 1, 2, ... as long as it writes a name; objects are read
// and released at once.
std::vector<CatalogueRow> readCatalogue(const Plugin& plugin);

// The row named by a catalogue name or an index; throws UsageError.
const CatalogueRow& findEffect(const std::vector<CatalogueRow>& catalogue, const std::string& key);

// A new object of a built effect; throws RunError when fx_create gives none.
EffectPtr createEffect(const Plugin& plugin, const CatalogueRow& row);
