// x = n pi/2 + (hi + lo), |hi + lo| <= pi/4, for any finite x, exact to
// about 2^-100 of the reduced angle: the multiplication by 2/pi takes as
// many bits of 2/pi as the exponent of x asks (Payne and Hanek's method),
// in integers. The trigonometric functions use it beyond their fast
// reduction's range.
#pragma once

struct ReducedAngle {
    double hi, lo;
    double quadrant;  // n modulo 4: 0, 1, 2 or 3
};

ReducedAngle reduceLarge(double x);
