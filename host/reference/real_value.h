// A parameter's real value: the quantity the effect makes of the float it
// stores, by the entry's mapping (exponential curve, signed curve, clock,
// signed scale or none), and its text with the unit.
#pragma once

#include <string>

#include "reference.h"

// The curve's value at p, computed as the plug-in computes its curves: the
// derived constants rounded to floats, the result too.
float curveValue(const ExpCurve& curve, float p);

// The real value of a one-float parameter stored as v; `alternate`: the
// entry's alternate flag is on.
double realValue(const ParamReference& entry, float v, bool alternate);

// "+0.5 rad/unit", "16 samples", "on", "(0, 5, 0) units". `values` holds one
// float, or three for a point.
std::string realText(const ParamReference& entry, const float* values, bool alternate);

// Four significant digits, "0" for either zero: "0.5", "0.3162", "1e-05".
std::string shortNumber(double v);
