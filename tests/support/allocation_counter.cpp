#include "allocation_counter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {
#if defined(_WIN32)
size_t malloc_usable_size(void* p) { return _msize(p); }
#endif
size_t allocations = 0;
size_t deallocations = 0;
size_t inUse = 0;
size_t refuseAt = 0;  // attempts left until the refused one; 0: none armed
bool refusedOne = false;

void* allocateCounted(size_t n) {
    if (refuseAt && --refuseAt == 0) {
        refusedOne = true;
        return nullptr;
    }
    ++allocations;
    void* p = std::malloc(n ? n : 1);
    if (p) inUse += malloc_usable_size(p);
    return p;
}

void freeCounted(void* p) {
    if (p) {
        ++deallocations;
        inUse -= malloc_usable_size(p);
    }
    std::free(p);
}
}  // namespace

size_t allocationCount() { return allocations; }
size_t deallocationCount() { return deallocations; }
size_t bytesInUse() { return inUse; }
void refuseAllocation(size_t n) {
    refuseAt = n;
    refusedOne = false;
}
bool refusedAllocation() { return refusedOne; }

void* operator new(size_t n) {
    if (void* p = allocateCounted(n)) return p;
    throw std::bad_alloc();
}
void* operator new(size_t n, const std::nothrow_t&) noexcept { return allocateCounted(n); }
void operator delete(void* p) noexcept { freeCounted(p); }
void operator delete(void* p, size_t) noexcept { freeCounted(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { freeCounted(p); }
