// Settings that may sweep: NAME=VALUE before the start, or NAME=FROM..TO
// moved evenly from the first frame to the last, the way a user drags a
// handle (a point sweeps each coordinate).
#pragma once

#include <string>
#include <vector>

#include "kit/param_setting.h"

// One setting per frame for a sweep, one before the start otherwise; throws UsageError.
std::vector<ParamSetting> expandSweep(const std::string& setting, int frames);
