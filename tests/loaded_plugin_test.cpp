// The built generic.fx as the host sees it: loaded with dlopen and driven only
// through its three exports and the effect table.
#include <algorithm>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "plugin_loader.h"

TEST(LoadedPlugin, DescribesItselfWithTheSameTextEveryTime) {
    PluginLoader fx;
    ASSERT_TRUE(fx.loaded());
    const char* info = fx.libinfo();
    EXPECT_EQ(info, fx.libinfo());
    EXPECT_STREQ(info,
                 "Tarvel standard generic effects library.\nThese effects are modifying all current "
                 "<b>3D data</b> (Part, Mesh and Spline).\nThese modifiers are <b>not exclusive</b>, if "
                 "there is more than one 3D data (eg Mesh and Spline), <b>each one</b> can be modified.");
    EXPECT_EQ(std::count(info, info + std::strlen(info), '\n'), 2);
}

// Until an effect is built its index writes the name and returns null; once
// built, each call returns a new object in the state every effect starts in.
TEST(LoadedPlugin, CreatesTheNineEffectsByIndex) {
    const char* names[] = {"GenericHarmonik", "GenericTwist",  "GenericMagnet",
                           "GenericElipsoid", "_GenericCosine", "_GenericTranslate",
                           "_GenericTranslateFromSpline", "_GenericScale", "_GenericRotate"};
    PluginLoader fx;
    ASSERT_TRUE(fx.loaded());
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(names[i]);
        char buffer[40];
        std::memset(buffer, 'x', sizeof buffer);
        FxEffect* e = fx.create(i, buffer);
        EXPECT_STREQ(buffer, names[i]);
        EXPECT_EQ(buffer[std::strlen(names[i]) + 1], 'x') << "wrote past the terminator";
        FxEffect* unnamed = fx.create(i, nullptr);
        EXPECT_EQ(e == nullptr, unnamed == nullptr);
        if (e && unnamed) {
            EXPECT_NE(e, unnamed);
            EXPECT_EQ(e->hostField1, -1.0f);
            EXPECT_EQ(e->hostField2, 0u);
            EXPECT_EQ(e->reserved15(), 100);
            EXPECT_EQ(e->reserved7(), 0.0f);
            EXPECT_FALSE(e->reserved8());
            EXPECT_FALSE(e->reserved16(0));
            EXPECT_EQ(e->reserved14(), 1);
            EXPECT_STREQ(e->author(), "Brisel");
        }
        fx.destroy(e);
        fx.destroy(unnamed);
    }
    fx.destroy(nullptr);
}

TEST(LoadedPlugin, IndicesOutsideTheCatalogueLeaveTheBufferAlone) {
    PluginLoader fx;
    ASSERT_TRUE(fx.loaded());
    for (int index : {9, 10, -1, -2147483647 - 1}) {
        char buffer[32];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(fx.create(index, buffer), nullptr) << index;
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, 'x')) << index;
    }
}
