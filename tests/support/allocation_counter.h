// Counts the allocations made through operator new, and the frees through
// operator delete, in this test binary, and the bytes held in between; and
// refuses one on demand, as a host short of address space would (operator
// new throws std::bad_alloc, the nothrow form answers null).
#pragma once

#include <cstddef>

size_t allocationCount();
size_t deallocationCount();
size_t bytesInUse();
// The n-th allocation from now (1: the next) is refused; 0 refuses none.
void refuseAllocation(size_t n);
// Whether the allocation armed by the last refuseAllocation was reached.
bool refusedAllocation();
