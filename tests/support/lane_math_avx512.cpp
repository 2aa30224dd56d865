#include "lane_math_on_set.h"
