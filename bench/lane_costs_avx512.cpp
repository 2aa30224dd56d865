// The lane kernels compiled for AVX-512.
#include "lane_costs_on_set.h"
