// The effects, by the index through which the host names them: one line per
// effect, its class and its name. Everything that counts or lists the
// effects (the exports, the tests of every effect, the bench) derives from
// this list; each class brings its base and its rule record.
#pragma once

#include <array>
#include <cstddef>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

#include "every_effect.h"  // generated: the class header of every folder of src/effects
#include "fx/abi.h"
#include "plugin/boundary.h"

template <class Effect>
struct Listed {
    using Class = Effect;
    const char* name;
};

// A new effect's line goes at the end: an index, once shipped, names its effect for good.
inline constexpr std::tuple kListed{
    Listed<GenericHarmonik>{"GenericHarmonik"},
    Listed<GenericTwist>{"GenericTwist"},
    Listed<GenericMagnet>{"GenericMagnet"},
    Listed<GenericElipsoid>{"GenericElipsoid"},
    Listed<GenericCosine>{"_GenericCosine"},
    Listed<GenericTranslate>{"_GenericTranslate"},
    Listed<GenericTranslateFromSpline>{"_GenericTranslateFromSpline"},
    Listed<GenericScale>{"_GenericScale"},
    Listed<GenericRotate>{"_GenericRotate"},
};

constexpr int kCatalogueSize = int(std::tuple_size_v<decltype(kListed)>);

template <size_t I>
using ListedClass = typename std::tuple_element_t<I, std::remove_const_t<decltype(kListed)>>::Class;

// f.template operator()<Effect>(index, name) for every effect, in catalogue order.
template <class F>
constexpr void forEachEffect(F&& f) {
    [&]<size_t... I>(std::index_sequence<I...>) {
        (f.template operator()<ListedClass<I>>(int(I), std::get<I>(kListed).name), ...);
    }(std::make_index_sequence<kCatalogueSize>{});
}

// Effect's index in the catalogue; -1 for a class not listed.
template <class Effect>
constexpr int kIndexOf = []<size_t... I>(std::index_sequence<I...>) {
    int index = -1;
    ((index = std::is_same_v<ListedClass<I>, Effect> ? int(I) : index), ...);
    return index;
}(std::make_index_sequence<kCatalogueSize>{});

// A new effect as the host holds it, or null when the allocation fails.
template <class Effect>
FxEffect* createEffect() {
    return new (std::nothrow) Boundary<Effect>();
}

struct CatalogueEntry {
    const char* name;
    FxEffect* (*create)();
};

inline constexpr auto kCatalogue = []<size_t... I>(std::index_sequence<I...>) {
    return std::array<CatalogueEntry, kCatalogueSize>{
        CatalogueEntry{std::get<I>(kListed).name, &createEffect<ListedClass<I>>}...};
}(std::make_index_sequence<kCatalogueSize>{});
