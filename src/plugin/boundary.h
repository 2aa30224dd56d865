// The effect as the host holds it: every one of the seventeen slots switches
// to the library's floating-point state, calls the effect's own body
// directly, and keeps every exception inside. The host's compiler cannot
// unwind ours, so an exception that left a slot would end the host; a slot
// that fails answers as a failed call instead (process: false, and the kind
// whose copy failed is not handed back; update: the last state stays; draw:
// nothing more is drawn; the others: their usual answer).
#pragma once

#include <new>

#include "fx/abi.h"
#include "plugin/fp_state.h"

// `body` under the library's state; `failed` when it throws.
template <class R, class Body>
R atBoundary(R failed, Body body) noexcept {
    const LibraryFpState state;
    try {
        return body();
    } catch (...) {
        return failed;
    }
}

template <class Body>
void atBoundary(Body body) noexcept {
    const LibraryFpState state;
    try {
        body();
    } catch (...) {
    }
}

template <class Effect>
class Boundary final : public Effect {
public:
    // Microsoft's scalar deleting destructor: bit 0 of flags also frees the memory.
    void* FX_THISCALL scalarDeletingDestructor(unsigned flags) override {
        return atBoundary(static_cast<void*>(this), [&] {
            this->~Boundary();
            if (flags & 1u) ::operator delete(this);
            return static_cast<void*>(this);
        });
    }
    bool FX_THISCALL init(uint32_t a, uint32_t b) override {
        return atBoundary(true, [&] { return Effect::init(a, b); });
    }
    bool FX_THISCALL start(uint32_t a) override {
        return atBoundary(true, [&] { return Effect::start(a); });
    }
    void FX_THISCALL reserved3(uint32_t a) override {
        atBoundary([&] { Effect::reserved3(a); });
    }
    void FX_THISCALL update(float time) override {
        atBoundary([&] { Effect::update(time); });
    }
    bool FX_THISCALL process(FxHostData* host) override {
        return atBoundary(false, [&] { return Effect::process(host); });
    }
    bool FX_THISCALL draw() override {
        return atBoundary(false, [&] { return Effect::draw(); });
    }
    float FX_THISCALL reserved7() override {
        return atBoundary(0.0f, [&] { return Effect::reserved7(); });
    }
    bool FX_THISCALL reserved8() override {
        return atBoundary(false, [&] { return Effect::reserved8(); });
    }
    void FX_THISCALL reserved9(uint32_t a, uint32_t b) override {
        atBoundary([&] { Effect::reserved9(a, b); });
    }
    void FX_THISCALL reserved10(uint32_t a) override {
        atBoundary([&] { Effect::reserved10(a); });
    }
    void FX_THISCALL registerParams(FxParamHost* host) override {
        atBoundary([&] { Effect::registerParams(host); });
    }
    const char* FX_THISCALL description() override {
        return atBoundary(static_cast<const char*>(""), [&] { return Effect::description(); });
    }
    const char* FX_THISCALL author() override {
        return atBoundary(static_cast<const char*>(""), [&] { return Effect::author(); });
    }
    int32_t FX_THISCALL reserved14() override {
        return atBoundary(int32_t(1), [&] { return Effect::reserved14(); });
    }
    int32_t FX_THISCALL reserved15() override {
        return atBoundary(int32_t(100), [&] { return Effect::reserved15(); });
    }
    bool FX_THISCALL reserved16(uint32_t a) override {
        return atBoundary(false, [&] { return Effect::reserved16(a); });
    }
};
