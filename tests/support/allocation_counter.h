// Counts the allocations made through operator new in this test binary.
#pragma once

#include <cstddef>

size_t allocationCount();
