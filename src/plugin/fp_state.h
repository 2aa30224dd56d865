// The floating-point state the library computes in, set on entry to every
// slot and export and the caller's given back on return. The host may run
// with flush-to-zero, denormals-are-zero, another rounding, a shorter x87
// precision or unmasked traps; the rules are written for round to nearest,
// gradual underflow and every exception masked.
#pragma once

#include <xmmintrin.h>

#include <cstdint>

// SSE: all six exceptions masked, round to nearest, no FTZ or DAZ, no flags.
constexpr uint32_t kLibraryMxcsr = 0x1F80u;
// x87: all exceptions masked, round to nearest, 64-bit precision. Only the
// 32-bit build runs x87 instructions (values returned in st(0)); x86-64
// keeps every double and float in SSE registers, so its x87 word is left alone.
constexpr uint16_t kLibraryX87 = 0x037Fu;

class LibraryFpState {
public:
    LibraryFpState() : mxcsr_(_mm_getcsr()) {
        if (mxcsr_ != kLibraryMxcsr) _mm_setcsr(kLibraryMxcsr);
#if defined(__i386__)
        __asm__ volatile("fnstcw %0" : "=m"(x87_));
        if (x87_ != kLibraryX87) loadX87(kLibraryX87);
#endif
    }
    ~LibraryFpState() {
        // Written back unread (reading MXCSR costs more than writing it): the caller's word also
        // takes away the flags the library raised.
        _mm_setcsr(mxcsr_);
#if defined(__i386__)
        if (x87_ != kLibraryX87) {
            // A flag raised here under a trap the caller unmasks would fire at its next x87 instruction.
            uint16_t status;
            __asm__ volatile("fnstsw %0" : "=m"(status));
            if (status & ~x87_ & 0x3Fu) __asm__ volatile("fnclex");
            loadX87(x87_);
        }
#endif
    }
    LibraryFpState(const LibraryFpState&) = delete;
    LibraryFpState& operator=(const LibraryFpState&) = delete;

private:
    uint32_t mxcsr_;
#if defined(__i386__)
    uint16_t x87_;
    static void loadX87(uint16_t word) { __asm__ volatile("fldcw %0" : : "m"(word)); }
#endif
};
