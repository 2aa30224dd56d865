// Every effect of the catalogue stacked as a host chains them: each one
// reads what the one before it handed back. Twenty thousand frames with
// every parameter edited every frame must settle into frames that allocate
// nothing and keep the memory in use where it was.
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "allocation_counter.h"
#include "grid_scene.h"
#include "kit/host_data.h"
#include "kit/param_host.h"
#include "kit/recording_gl.h"
#include "plugin/catalogue.h"
#include "plugin/exports.h"

namespace {
constexpr int kFrames = 20000;
constexpr int kSettled = 100;  // frames after which nothing may grow

struct Stacked {
    FxEffect* fx;
    ParamHost params;
};
}  // namespace

TEST(Soak, StackedEffectsSettleIntoFramesThatAllocateNothing) {
#if !defined(_WIN32)
    // The 32-bit Linux tests run under qemu-i386, where the run takes minutes
    // (wine runs the Win32 ones at full speed).
    if (sizeof(void*) == 4) GTEST_SKIP() << "runs in the 64-bit and Win32 builds";
#endif
    // About 700 points (a third of the 2,000 a host scene might hold, so that the run takes seconds).
    Scene scene = gridScene(400, 4, 40, 12);
    SceneRecords records(scene);
    std::vector<Stacked> stack;
    stack.reserve(kCatalogueSize);
    for (int i = 0; i < kCatalogueSize; ++i) stack.push_back({fx_create(i, nullptr), {}});
    for (Stacked& s : stack) {
        s.fx->init(0, 0);
        s.fx->registerParams(&s.params);
        s.fx->start(0);
    }

    std::mt19937 random(20240601u);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f), nearby(-3.0f, 3.0f);
    glLog().reserve(100000);  // the gizmos' calls, recorded without growing
    HostData host;  // each effect reads what the one before handed back
    size_t settledAllocations = 0, settledBytes = 0;
    int firstGrowth = -1;
    for (int frame = 0; frame < kFrames; ++frame) {
        // The first two frames take every slider to its ends, so that every
        // size a parameter sets is reached before the run settles.
        for (Stacked& s : stack)
            for (const Registration& r : s.params.registrations()) {
                const bool point = r.kind == ParamKind::Point;
                *r.value = point ? nearby(random) : frame == 0 ? 1.0f : frame == 1 ? 0.0f : unit(random);
            }
        clearGlLog();
        host.serve(records);
        for (Stacked& s : stack) {
            s.fx->update(frame / 60.0f);
            if (s.fx->process(&host)) ADD_FAILURE() << "process answered true";
            s.fx->draw();
        }
        if (frame == kSettled) {
            settledAllocations = allocationCount();
            settledBytes = bytesInUse();
        } else if (frame > kSettled && firstGrowth < 0 &&
                   (allocationCount() != settledAllocations || bytesInUse() != settledBytes)) {
            firstGrowth = frame;
        }
    }
    EXPECT_EQ(firstGrowth, -1) << allocationCount() - settledAllocations << " allocations, "
                               << long(bytesInUse() - settledBytes) << " bytes more than at frame " << kSettled;
    for (Stacked& s : stack) fx_delete(s.fx);
}
