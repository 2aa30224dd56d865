// The scalar rules' math: the library's own functions (scene/lane_math.h on
// one lane), never the C library's, so results do not depend on the process
// that loads the library, and equal the batch rules' to the bit.
#pragma once

namespace fxmath {
double sin(double x);
double cos(double x);
double tan(double x);
double atan2(double y, double x);
double exp(double x);
double log(double x);
double pow(double x, double y);
// The exact remainder of x / y with the sign of x (as C's fmod).
double fmod(double x, double y);
}  // namespace fxmath
