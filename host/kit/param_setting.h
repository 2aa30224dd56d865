// Parameter values as text, [FRAME:][EFFECT.]NAME=VALUE (fxhost's --set, a
// session's edits): written into the effect's floats before playback starts,
// or before the update of the frame given, the way a user edits a parameter.
// EFFECT is a name (as findEffect takes it) or #N, the stack's Nth entry.
#pragma once

#include <string>
#include <vector>

#include "param_host.h"

struct ParamSetting {
    int frame = 0;       // 0: before start; otherwise before that frame's update (1-based)
    std::string effect;  // empty: every effect of the stack that has the name
    int effectIndex = -1;  // from 0: only that entry of the stack (a stack may hold an effect twice)
    std::string name;
    std::string value;
    std::string text;   // as given
    std::string where;  // what messages call it; empty: "--set TEXT"
};

// Blanks around a name or a number are the user's spacing, as in "origin = 1, 2, 3".
std::string unblanked(const std::string& text);

// "--set TEXT", or where the setting came from.
std::string settingLabel(const ParamSetting& setting);

// Splits the text; throws UsageError on a malformed setting.
ParamSetting parseSetting(const std::string& text);

// A value ready to be written into one parameter.
struct Assignment {
    int frame;
    const HostParam* param;
    float values[3];
};

// The assignment of a setting to one parameter; throws UsageError for a value
// that is not a number, not a finite float, or outside 0..1 for a flag or a
// scalar. A flag also takes on, off, true and false.
Assignment resolveSetting(const ParamSetting& setting, const HostParam& param);

// Why `values` (one float, or x, y, z of a point) cannot be written into
// `param`, or "" when they can: every value is finite, a flag's or a
// scalar's lies in 0..1.
std::string refusal(const HostParam& param, const float* values);

void apply(const Assignment& assignment);

// The shortest text that reads back as the same float; x,y,z for a point.
std::string valueText(const Assignment& assignment);
