// An allocation refused inside the library (operator new throwing
// std::bad_alloc, as in a host short of address space) at every position in
// turn: while an effect is created and registered, in its first frame and in
// a frame where the scene grows. No exception leaves the library, nothing
// leaks, a failed process hands back only complete copies, and the next
// frame equals an undisturbed run's.
#include <vector>

#include <gtest/gtest.h>

#include "allocation_counter.h"
#include "grid_scene.h"
#include "handed_copies.h"
#include "kit/recording_gl.h"
#include "plugin/catalogue.h"
#include "plugin/exports.h"

namespace {
// Registers without allocating, so that every refused allocation is the library's.
class SilentParamHost final : public FxParamHost {
public:
    void FX_THISCALL add(const char*, float*) override {}
};

enum class During { nothing, create, firstFrame, growingFrame };
const char* const kPhases[] = {"", "creation", "first frame", "growing frame"};

// Three frames (the second and third on the larger scene), allocation `refuse` refused in the given phase.
// Records the handed copies into `record`, or compares them with `reference`: a copy handed back in the failing
// frame is complete, and the next frame is the undisturbed one. Answers whether the refused allocation was reached.
bool drive(int index, During during, size_t refuse, std::vector<Handed>* record, const std::vector<Handed>* reference) {
    static Scene smallScene = gridScene(6, 2, 3, 3), largeScene = gridScene(40, 2, 12, 7);
    static SceneRecords small(smallScene), large(largeScene);
    glLog().reserve(1000);  // the gizmos' calls, recorded without growing
    clearGlLog();
    const size_t held = bytesInUse();
    bool refused = false;
    SilentParamHost params;
    if (during == During::create) refuseAllocation(refuse);
    FxEffect* fx = fx_create(index, nullptr);
    if (fx) {
        fx->registerParams(&params);
        fx->init(0, 0);
        fx->start(0);
    }
    if (during == During::create) {
        refused = refusedAllocation();
        refuseAllocation(0);
    }
    HostData host;
    host.keepHanded = false;
    for (int frame = 0; fx && frame < 3; ++frame) {
        const bool failing =
            (frame == 0 && during == During::firstFrame) || (frame == 1 && during == During::growingFrame);
        if (failing) refuseAllocation(refuse);
        fx->update(0.25f * float(frame + 1));
        host.serve(frame == 0 ? small : large);
        EXPECT_FALSE(fx->process(&host));
        fx->draw();
        refused = refused || refusedAllocation();
        refuseAllocation(0);
        if (record) record->emplace_back(host);
        if (!reference) continue;
        const Handed got(host);
        for (int kind = 0; kind < 3; ++kind) {
            if ((failing && !got.kinds[kind].empty()) || frame == 2) {
                EXPECT_EQ(got.kinds[kind], (*reference)[frame].kinds[kind])
                    << "effect " << index << ", " << kPhases[int(during)] << ", allocation " << refuse << ", frame "
                    << frame << ", kind " << kind;
            }
        }
    }
    refused = refused || refusedAllocation();
    refuseAllocation(0);
    if (fx) fx_delete(fx);
    if (!record) {
        EXPECT_EQ(bytesInUse(), held) << "effect " << index << ", " << kPhases[int(during)] << ", allocation "
                                      << refuse;
    }
    return refused;
}
}  // namespace

TEST(FailedAllocation, NeverEscapesLeaksOrSpoilsTheNextFrame) {
    for (int index = 0; index < kCatalogueSize; ++index) {
        std::vector<Handed> undisturbed;
        drive(index, During::nothing, 0, &undisturbed, nullptr);
        ASSERT_EQ(undisturbed.size(), 3u);
        for (During during : {During::create, During::firstFrame, During::growingFrame})
            for (size_t k = 1; drive(index, during, k, nullptr, &undisturbed); ++k) {
            }
    }
}
