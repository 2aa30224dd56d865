// Counts the allocations made through operator new, and the frees through
// operator delete, in this test binary, and the bytes held in between.
#pragma once

#include <cstddef>

size_t allocationCount();
size_t deallocationCount();
size_t bytesInUse();
