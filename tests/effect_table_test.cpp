#include <cstring>

#include <gtest/gtest.h>

#include "plugin/exports.h"

namespace {
// The smallest effect: the four operations FxEffect leaves open, nothing else.
class BareEffect final : public FxEffect {
public:
    void* FX_THISCALL scalarDeletingDestructor(unsigned flags) override {
        lastFlags = flags;
        this->~BareEffect();
        if (flags & 1u) ::operator delete(this);
        return this;
    }
    const char* FX_THISCALL description() override { return "bare"; }
    const char* FX_THISCALL author() override { return "Brisel"; }
    int32_t FX_THISCALL reserved14() override { return 1; }
    static inline unsigned lastFlags = 0;
};

// Calls slot i of the table the way a host does: by position, with the
// object as the hidden first argument.
template <class R, class... A>
R slot(FxEffect* e, int i, A... args) {
    return reinterpret_cast<R (*)(FxEffect*, A...)>((*reinterpret_cast<void***>(e))[i])(e, args...);
}
}  // namespace

TEST(EffectTable, DefaultsAnswerAtTheirSlots) {
    BareEffect e;
    EXPECT_TRUE((slot<bool, uint32_t, uint32_t>(&e, 1, 0u, 0u)));
    EXPECT_TRUE((slot<bool, uint32_t>(&e, 2, 0u)));
    EXPECT_FALSE((slot<bool, FxHostData*>(&e, 5, nullptr)));
    EXPECT_FALSE(slot<bool>(&e, 6));
    EXPECT_EQ(slot<float>(&e, 7), 0.0f);
    EXPECT_FALSE(slot<bool>(&e, 8));
    EXPECT_STREQ(slot<const char*>(&e, 12), "bare");
    EXPECT_STREQ(slot<const char*>(&e, 13), "Brisel");
    EXPECT_EQ(slot<int32_t>(&e, 14), 1);
    EXPECT_EQ(slot<int32_t>(&e, 15), 100);
    EXPECT_FALSE((slot<bool, uint32_t>(&e, 16, 0u)));
    // The host's two fields follow the table pointer.
    float field1;
    uint32_t field2;
    std::memcpy(&field1, reinterpret_cast<const char*>(&e) + sizeof(void*), 4);
    std::memcpy(&field2, reinterpret_cast<const char*>(&e) + sizeof(void*) + 4, 4);
    EXPECT_EQ(field1, -1.0f);
    EXPECT_EQ(field2, 0u);
}

TEST(EffectTable, DeleteGoesThroughSlotZeroAndFreesTheObject) {
    BareEffect::lastFlags = 0;
    fx_delete(new BareEffect);
    EXPECT_EQ(BareEffect::lastFlags, 1u);
    fx_delete(nullptr);
}
