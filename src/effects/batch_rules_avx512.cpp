// The batch rules compiled for AVX-512 (F, DQ and VL), chosen at load time where the processor has it.
#include "effects/batch_rules_table.h"
