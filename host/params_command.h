// `fxhost params EFFECT`: the parameters an effect registers, each with its
// kind, stored value, real value with unit and meaning from the reference.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "kit/param_host.h"
#include "reference/reference.h"

enum class ParamsFormat { Text, Markdown, Json };
ParamsFormat parseParamsFormat(const std::string& text);  // throws UsageError

void listParams(const std::string& pluginPath, const std::string& effect, ParamsFormat format, std::ostream& out);

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
