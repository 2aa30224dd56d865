// EXPECT_TRUE(near(got, want)): points equal component-wise within a tolerance.
#pragma once

#include <cmath>

#include <gtest/gtest.h>

#include "fx/abi.h"

inline ::testing::AssertionResult near(const Vec3& a, const Vec3& b, float tolerance = 1e-6f) {
    if (std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance && std::fabs(a.z - b.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") is not (" << b.x << ", "
                                         << b.y << ", " << b.z << ")";
}
