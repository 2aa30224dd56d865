// The nine effects, by the index through which the host names them.
#pragma once

#include <new>

#include "fx/abi.h"
#include "plugin/boundary.h"

struct CatalogueEntry {
    const char* name;
    FxEffect* (*create)();  // null while the effect is not built
};

constexpr int kCatalogueSize = 9;
extern const CatalogueEntry kCatalogue[kCatalogueSize];

// A new effect as the host holds it, or null when the allocation fails.
template <class Effect>
FxEffect* createEffect() {
    return new (std::nothrow) Boundary<Effect>();
}
