// The geometry rules compiled for SSE2, which every processor the host runs on has.
#include "scene/geometry_rules_table.h"
