#include "plugin_loader.h"

#include "errors.h"
#include "fx/plugin_library.h"

namespace {
// Far more than the longest catalogue name needs (28 bytes).
constexpr size_t kNameBuffer = 256;
// A catalogue that never stops writing names is not a catalogue.
constexpr int kMaxEffects = 1000;

template <class Fn>
Fn symbol(void* handle, const char* name, const std::string& path) {
    const Fn address = fxlib::symbol<Fn>(handle, name);
    if (!address) throw RunError(path + ": the plug-in does not export " + name);
    return address;
}
}  // namespace

Plugin::Plugin(const std::string& path) : Plugin(path, fxlib::Bind::OnCall) {}

Plugin::Plugin(const std::string& path, fxlib::Bind bind) : path_(path) {
    handle_ = fxlib::open(path, bind);
    if (!handle_) throw RunError("cannot load plug-in " + path + ": " + fxlib::lastError());
    try {
        libinfo_ = symbol<FxLibInfoFn>(handle_, "fx_libinfo", path);
        create_ = symbol<FxCreateFn>(handle_, "fx_create", path);
        destroy_ = symbol<FxDeleteFn>(handle_, "fx_delete", path);
    } catch (...) {
        fxlib::close(handle_);
        throw;
    }
}

Plugin::~Plugin() { fxlib::close(handle_); }

std::vector<CatalogueRow> readCatalogue(const Plugin& plugin) {
    std::vector<CatalogueRow> rows;
    for (int index = 0; index < kMaxEffects; ++index) {
        char name[kNameBuffer] = {};
        EffectPtr effect(plugin.create(index, name), EffectDeleter{&plugin});
        if (!effect && name[0] == '\0') break;
        CatalogueRow row{index, name, effect != nullptr, "", ""};
        if (effect) {
            const char* description = effect->description();
            const char* author = effect->author();
            row.description = description ? description : "";
            row.author = author ? author : "";
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

const CatalogueRow& findEffect(const std::vector<CatalogueRow>& catalogue, const std::string& key) {
    for (const CatalogueRow& row : catalogue)
        if (row.name == key) return row;
    if (!key.empty() && key.size() < 7 && key.find_first_not_of("0123456789") == std::string::npos) {
        const size_t index = std::stoul(key);
        if (index < catalogue.size()) return catalogue[index];
    }
    std::string known;
    for (const CatalogueRow& row : catalogue) known += (known.empty() ? "" : ", ") + row.name;
    throw UsageError("unknown effect '" + key + "' (known: " + known + ")");
}

EffectPtr createEffect(const Plugin& plugin, const CatalogueRow& row) {
    char name[kNameBuffer] = {};
    EffectPtr effect(plugin.create(row.index, name), EffectDeleter{&plugin});
    if (!effect) throw RunError("effect " + row.name + " is not built in " + plugin.path());
    return effect;
}
