// The geometry rules compiled for AVX2 with FMA, chosen at load time where the processor has them.
#include "scene/geometry_rules_table.h"
