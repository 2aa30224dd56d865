#include "plugin/exports.h"

#include <cstring>

#include "plugin/boundary.h"
#include "plugin/catalogue.h"

namespace {
const char kLibraryInfo[] =
    "Tarvel standard generic effects library.\n"
    "These effects are modifying all current <b>3D data</b> (Part, Mesh and Spline).\n"
    "These modifiers are <b>not exclusive</b>, if there is more than one 3D data "
    "(eg Mesh and Spline), <b>each one</b> can be modified.";
}

const char* FX_CDECL fx_libinfo() {
    return atBoundary(static_cast<const char*>(kLibraryInfo), [] { return kLibraryInfo; });
}

FxEffect* FX_CDECL fx_create(int index, char* name) {
    return atBoundary(static_cast<FxEffect*>(nullptr), [&]() -> FxEffect* {
        if (index < 0 || index >= kCatalogueSize) return nullptr;
        const CatalogueEntry& entry = kCatalogue[index];
        if (name) std::memcpy(name, entry.name, std::strlen(entry.name) + 1);
        return entry.create();
    });
}

void FX_CDECL fx_delete(FxEffect* effect) {
    atBoundary([&] {
        if (effect) effect->scalarDeletingDestructor(1u);
    });
}
