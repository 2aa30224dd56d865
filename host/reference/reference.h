// What every effect and every parameter does, in words and real units: one
// JSON file per effect beside this header, embedded into fxhost when it is
// built. fxhost pairs each entry with the parameter the plug-in registers
// under that name; it knows nothing else of the library.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// An exponential mapping of a control p in 0..1: min at 0, mid at 0.5, max at 1.
struct ExpCurve {
    float min, mid, max;
};

struct ParamReference {
    std::string name, kind;  // kind: flag, scalar, point or float, as `params` names it
    std::string quantity, unit, meaning, more;
    // How the stored value v becomes the real one (none of these: v itself).
    std::optional<ExpCurve> curve;
    bool isSigned = false;            // sign(2v - 1) curve(|2v - 1|)
    std::optional<double> clock;      // signed as above times this gain, 0 at v = 0.5
    std::optional<double> scale;      // (2v - 1) scale
    bool whole = false;               // truncated to a whole number
    bool offAtZero = false;           // 0 (off) at v <= 0
    std::string alternateFlag;        // while this flag is on, `alternate` replaces `curve`
    std::optional<ExpCurve> alternate;
    std::string follows;  // the handle whose moves drag this point along
    std::string fit;      // "centre" or "reach": what "fit to scene" makes of this point
    nlohmann::json strip;  // the values the reference pages show; null: the usual ones, false: none
    std::vector<std::string> settings;  // set before the start for this parameter's strip
};

struct EffectReference {
    std::string effect;  // the catalogue name
    std::string page;    // the file's name without .json: the reference page's name
    std::string title, does, gizmo;
    std::vector<std::string> demo;  // settings for the demo and the pages' preview, as --set takes them
    int frame = 12;                 // the frame the pages' strips show, at 24 frames a second
    std::vector<ParamReference> params;

    const ParamReference* find(const std::string& name) const;
};

// Every embedded file, in the order of their names; throws std::runtime_error
// naming a file that does not read.
const std::vector<EffectReference>& effectReferences();
// Null for an effect without a file.
const EffectReference* findReference(const std::string& effect);
