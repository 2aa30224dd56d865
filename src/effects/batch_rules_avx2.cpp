// The batch rules compiled for AVX2 with FMA, chosen at load time where the processor has them.
#include "effects/batch_rules_table.h"
