// The batch rules compiled for SSE2, which every processor the host runs on has.
#include "effects/batch_rules_table.h"
