// The lane kernels compiled for SSE2.
#include "lane_costs_on_set.h"
