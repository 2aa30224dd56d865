#include <cstring>

#include <gtest/gtest.h>

#include "plugin/catalogue.h"
#include "plugin/exports.h"

TEST(Catalogue, OutsideIndicesGiveNullAndLeaveTheBufferAlone) {
    for (int index : {-1, 9, 1000, -2147483647 - 1}) {
        char buffer[32];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(fx_create(index, buffer), nullptr) << index;
        EXPECT_EQ(buffer[0], 'x') << index;
    }
}

TEST(Catalogue, WritesEachNameWithItsTerminator) {
    const char* names[] = {"GenericHarmonik", "GenericTwist", "GenericMagnet",
                           "GenericElipsoid", "_GenericCosine", "_GenericTranslate",
                           "_GenericTranslateFromSpline", "_GenericScale", "_GenericRotate"};
    for (int i = 0; i < 9; ++i) {
        char buffer[40];
        std::memset(buffer, 'x', sizeof buffer);
        FxEffect* e = fx_create(i, buffer);
        EXPECT_STREQ(buffer, names[i]);
        EXPECT_EQ(buffer[std::strlen(names[i]) + 1], 'x') << "wrote past the terminator";
        fx_delete(e);
    }
}

TEST(LibInfo, SameTextOnEveryCall) {
    const char* info = fx_libinfo();
    EXPECT_EQ(info, fx_libinfo());
    EXPECT_STREQ(info,
                 "Tarvel standard generic effects library.\nThese effects are modifying all current "
                 "<b>3D data</b> (Part, Mesh and Spline).\nThese modifiers are <b>not exclusive</b>, if "
                 "there is more than one 3D data (eg Mesh and Spline), <b>each one</b> can be modified.");
}

TEST(Delete, NullIsIgnored) { fx_delete(nullptr); }
