// `fxhost params EFFECT`: the parameters an effect registers, each with its
// kind, stored value, real value with unit and meaning from the reference.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "reference/described_param.h"

enum class ParamsFormat { Text, Markdown, Json };
ParamsFormat parseParamsFormat(const std::string& text);  // throws UsageError

void listParams(const std::string& pluginPath, const std::string& effect, ParamsFormat format, std::ostream& out);
