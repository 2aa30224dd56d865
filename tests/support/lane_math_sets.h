// The library's math functions on each instruction set's lanes, for the
// tests (lane_math_on_set.h, compiled once per set): every lane gets the same
// arguments, the last lane's result comes back.
#pragma once

#include "scene/instruction_sets.h"

enum class MathFunction { sin, cos, tan, atan2, exp, log, pow };

FX_DECLARE_PER_SET(double laneMath(MathFunction f, double x, double y))
