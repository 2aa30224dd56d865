// The lane kernels compiled for AVX2.
#include "lane_costs_on_set.h"
