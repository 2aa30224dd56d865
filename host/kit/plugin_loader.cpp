#include "plugin_loader.h"

#include <fstream>

#include "errors.h"
#include "fx/plugin_library.h"
#include "names.h"

namespace {
// Far more than the longest catalogue name needs (28 bytes).
constexpr size_t kNameBuffer = 256;
// A catalogue that never stops writing names is not a catalogue.
constexpr int kMaxEffects = 1000;

// Why a file that did not load is no plug-in for this fxhost, when it is
// one built for another platform; empty otherwise.
std::string builtForAnother(const std::string& path) {
    unsigned char head[5] = {};
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(head), sizeof head);
    const bool elf = head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F';
#ifdef _WIN32
    if (elf) return "a Linux library, for a Linux host (the Linux fxhost)";
#else
    if (head[0] == 'M' && head[1] == 'Z') return "a Windows DLL, for a Windows host (fxhost.exe, under wine on Linux)";
    const int bits = head[4] == 1 ? 32 : 64, own = int(8 * sizeof(void*));
    if (elf && bits != own)
        return "a " + std::to_string(bits) + "-bit library, and this program is " + std::to_string(own) + "-bit";
#endif
    return "";
}

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
    if (!handle_) {
        const std::string other = builtForAnother(path);
        throw RunError("cannot load plug-in " + path + ": " + (other.empty() ? fxlib::lastError() : other));
    }
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
    // An index, or a negative number meant as one.
    const size_t digits = key.rfind('-', 0) == 0 ? 1 : 0;
    if (key.size() > digits && key.find_first_not_of("0123456789", digits) == std::string::npos) {
        if (!digits && key.size() < 7 && std::stoul(key) < catalogue.size()) return catalogue[std::stoul(key)];
        throw UsageError("no effect at index " + key + (catalogue.empty() ? std::string(": the catalogue is empty")
                         : ": the indices run from 0 to " + std::to_string(catalogue.size() - 1)));
    }
    // A short name in any case, whole or the beginning of one name only.
    const std::string typed = shortName(key);
    std::vector<const CatalogueRow*> starting;
    for (const CatalogueRow& row : catalogue) {
        if (shortName(row.name) == typed) return row;
        if (!typed.empty() && shortName(row.name).rfind(typed, 0) == 0) starting.push_back(&row);
    }
    if (starting.size() == 1) return *starting[0];
    if (starting.size() > 1) {
        std::string could;
        for (size_t i = 0; i < starting.size(); ++i)
            could += (i == 0 ? "" : i + 1 == starting.size() ? " or " : ", ") + starting[i]->name;
        throw UsageError(quoted(key) + " could be " + could);
    }
    std::vector<std::string> shortNames;
    std::string known;
    for (const CatalogueRow& row : catalogue) {
        shortNames.push_back(shortName(row.name));
        known += (known.empty() ? "" : ", ") + row.name;
    }
    const std::string nearest = nearestName(typed, shortNames);
    for (const CatalogueRow& row : catalogue)
        if (!nearest.empty() && shortName(row.name) == nearest)
            throw UsageError("unknown effect " + quoted(key) + "; did you mean " + row.name + "?");
    throw UsageError("unknown effect " + quoted(key) + " (known: " + known + ")");
}

EffectPtr createEffect(const Plugin& plugin, const CatalogueRow& row) {
    char name[kNameBuffer] = {};
    EffectPtr effect(plugin.create(row.index, name), EffectDeleter{&plugin});
    if (!effect) throw RunError("effect " + row.name + " is not built in " + plugin.path());
    return effect;
}
