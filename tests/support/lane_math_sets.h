// The library's math functions on each instruction set's lanes, for the
// tests: every lane gets the same arguments, the last lane's result comes
// back. The sets the processor lacks are not called (processorRuns is false).
#pragma once

#include "scene/batch_rules.h"

enum class MathFunction { sin, cos, tan, atan2, exp, log, pow };

double laneMath(InstructionSet set, MathFunction f, double x, double y);
