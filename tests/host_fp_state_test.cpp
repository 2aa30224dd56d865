// Every slot of every effect and every export called as the host calls
// them: from code that keeps the stack aligned to 4 bytes only (on 32-bit
// this file is compiled so, and each run shifts the stack by 0, 4, 8 and 12
// bytes), under a floating-point state hostile to the rules: flush-to-zero,
// denormals-are-zero, rounding toward zero, invalid, divide and overflow
// traps unmasked, x87 precision cut to 24 bits with the same traps. The
// scenes and parameters make denormals, infinities and NaNs (Cosine's
// tangent among them). Each call must give the floats of a run in the
// default state, raise no trap and leave the caller's state as it was.
// (qemu-i386 delivers no floating-point trap: there the test checks the
// state and the floats only; on hardware and under wine a trap kills it.)
#include <xmmintrin.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "float_agreement.h"
#include "handed_copies.h"
#include "kit/recording_gl.h"
#include "plugin/catalogue.h"
#include "plugin/exports.h"
#include "test_host.h"

namespace {
struct FpState {
    uint32_t mxcsr;
    uint16_t x87;
    bool operator==(const FpState&) const = default;
};
constexpr FpState kDefault{0x1F80u, 0x037Fu};
// MXCSR: FTZ, DAZ, toward zero, invalid/divide/overflow unmasked; x87: 24-bit, the same three unmasked.
constexpr FpState kHostile{0xF940u, 0x0072u};

FpState readState() {
    FpState s{_mm_getcsr(), 0};
    __asm__ volatile("fnstcw %0" : "=m"(s.x87));
    return s;
}
void setState(const FpState& s) {
    __asm__ volatile("fnclex");
    __asm__ volatile("fldcw %0" : : "m"(s.x87));
    _mm_setcsr(s.mxcsr);
}

// Everything one run saw: what each process handed back, the gizmo's calls, the slots' answers.
struct Seen {
    std::vector<Handed> frames;
    std::vector<float> gl;
    std::string answers;
    int stateChanges = 0;
};

// Calls f in `state` and counts a state the call did not give back (read as f returns, before the default
// state comes back).
template <class F>
auto inState(const FpState& state, Seen& run, F f) {
    struct Back {
        const FpState& state;
        Seen& run;
        ~Back() {
            run.stateChanges += !(readState() == state);
            setState(kDefault);
        }
    } back{state, run};
    setState(state);
    return f();
}

// Normal, subnormal, huge, infinite and NaN coordinates; a few points in each kind.
SceneRecords& scene() {
    static Scene s = [] {
        Scene s;
        const float odd[] = {1.5f, 1e-40f, -3e38f, 2.0f, __builtin_inff(), -0.5f, __builtin_nanf(""), 1e-30f, 4.0f};
        for (int i = 0; i < 9; ++i) {
            const Vec3 p{odd[i], odd[(i + 4) % 9], odd[(i + 7) % 9]};
            s.particles.push_back({p, 1u, 2u});
            s.vertices.push_back(p);
        }
        s.curves = {{std::vector<Vec3>(s.vertices.begin(), s.vertices.begin() + 5), true},
                    {{{0, 0, 0}, {1e-39f, 0, 0}}}};
        s.normals.assign(s.vertices.size(), {0, 0, 1});
        s.faces = {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 2, 4};
        return s;
    }();
    static SceneRecords records(s);
    return records;
}

// One effect through all seventeen slots and the three exports, its parameters at values that make denormals
// and NaNs (`extreme`) or left as registered.
__attribute__((noinline)) void drive(int index, bool extreme, const FpState& state, Seen& run) {
    char name[64];
    run.answers += inState(state, run, [] { return fx_libinfo(); });
    FxEffect* fx = inState(state, run, [&] { return fx_create(index, name); });
    ASSERT_NE(fx, nullptr);
    RecordingParamHost params;
    inState(state, run, [&] { fx->registerParams(&params); });
    const float values[] = {1e-39f, 0.999f, 3e38f, 1e-30f, 0.5f};
    const std::vector<Registration>& registered = params.registrations();
    for (size_t i = 0; extreme && i < registered.size(); ++i)
        *registered[i].value = registered[i].name == "use tan [b]" ? 1.0f : values[i % 5];
    run.answers += inState(state, run, [&] { return fx->init(0, 0); }) ? "i" : "-";
    run.answers += inState(state, run, [&] { return fx->start(0); }) ? "s" : "-";
    inState(state, run, [&] { fx->reserved3(0); });
    HostData host;
    host.keepHanded = false;
    clearGlLog();
    for (float time : {0.5f, 1.25f}) {
        inState(state, run, [&] { fx->update(time); });
        host.serve(scene());
        run.answers += inState(state, run, [&] { return fx->process(&host); }) ? "p" : "-";
        run.frames.emplace_back(host);
        run.answers += inState(state, run, [&] { return fx->draw(); }) ? "d" : "-";
    }
    for (const GlCall& c : glLog()) run.gl.insert(run.gl.end(), {c.a, c.b, c.c});
    run.gl.push_back(inState(state, run, [&] { return fx->reserved7(); }));
    run.answers += inState(state, run, [&] { return fx->reserved8(); }) ? "8" : "-";
    inState(state, run, [&] { fx->reserved9(0, 0); });
    inState(state, run, [&] { fx->reserved10(0); });
    run.answers += inState(state, run, [&] { return fx->description(); });
    run.answers += inState(state, run, [&] { return fx->author(); });
    run.answers += std::to_string(inState(state, run, [&] { return fx->reserved14(); }));
    run.answers += std::to_string(inState(state, run, [&] { return fx->reserved15(); }));
    run.answers += inState(state, run, [&] { return fx->reserved16(0); }) ? "6" : "-";
    inState(state, run, [&] { fx_delete(fx); });
}

// The run with the stack moved down by `shift` bytes first: with 4-byte alignment, every residue modulo 32
// (the AVX2 rules spill 32-byte registers).
__attribute__((noinline)) void driveShifted(size_t shift, int index, bool extreme, const FpState& state, Seen& run) {
    volatile char* gap = static_cast<char*>(__builtin_alloca(shift + 1));
    gap[0] = 0;
    drive(index, extreme, state, run);
}
}  // namespace

TEST(HostFpState, EverySlotGivesTheDefaultFloatsAndTheCallersStateBack) {
    for (int index = 0; index < kCatalogueSize; ++index)
        for (bool extreme : {false, true}) {
            Seen reference;
            driveShifted(0, index, extreme, kDefault, reference);
            for (size_t shift : {0, 4, 8, 12, 16, 20, 24, 28}) {
                Seen hostile;
                driveShifted(shift, index, extreme, kHostile, hostile);
                const std::string where = "effect " + std::to_string(index) + (extreme ? " extreme" : "") +
                                          ", stack shifted by " + std::to_string(shift);
                EXPECT_EQ(hostile.stateChanges, 0) << where;
                EXPECT_EQ(hostile.answers, reference.answers) << where;
                EXPECT_TRUE(hostile.gl.size() == reference.gl.size() &&
                            sameBits(hostile.gl.data(), reference.gl.data(), reference.gl.size()))
                    << where;
                EXPECT_TRUE(hostile.frames == reference.frames) << where;
            }
        }
}
