#include "allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {
size_t allocations = 0;
size_t deallocations = 0;

void freeCounted(void* p) {
    if (p) ++deallocations;
    std::free(p);
}
}  // namespace

size_t allocationCount() { return allocations; }
size_t deallocationCount() { return deallocations; }

void* operator new(size_t n) {
    ++allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    ++allocations;
    return std::malloc(n ? n : 1);
}
void operator delete(void* p) noexcept { freeCounted(p); }
void operator delete(void* p, size_t) noexcept { freeCounted(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { freeCounted(p); }
