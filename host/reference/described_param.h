// A registered parameter beside its entry in the reference: what `fxhost
// params`, the viewer, the reference pages and the Python package show.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "kit/param_host.h"
#include "reference.h"

// Coordinate k of the parameter's float(s) as they stand, 0 where none was registered.
float storedValue(const HostParam& p, int k);

// The entry of `param` with its alternate flag read from `params` (the effect's live values).
struct DescribedParam {
    const HostParam* param;
    const ParamReference* entry;  // null: the reference has none
    bool alternate = false;
};
std::vector<DescribedParam> describe(const std::vector<HostParam>& params, const EffectReference* reference);

// The real value's text of the parameter as it stands now, "" without an entry.
std::string currentRealText(const DescribedParam& p);

// One parameter as `params --format json` gives it, with its current values.
nlohmann::json paramJson(const DescribedParam& p);
