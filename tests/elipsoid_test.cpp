// Elipsoid through the plug-in. Controls 0, 0.25, 0.5, 0.55, 0.75 give the
// exponents 0.1, 0.338, 1, 1.235, 2.848; off the axes each azimuth term of
// the direction is raised to the teta exponent, each polar term to phi's.
#include <cmath>

#include "effect_harness.h"

namespace {
const float s = 1 / std::sqrt(3.0f);

[[maybe_unused]] const bool kExpected = expect<GenericElipsoid>({
    .description = "Deforms points of current 3d objects in a spherical harmonikal way.",
    .params = kDataFlags + Params{{"center [p3]", 0, 0, 0}, {"power teta [s]", 0.55f}, {"power phi [s]", 0.55f}},
    .frames = {
        {{}, {2, 2, 2}, {1.75765f, 1.75765f, 1.75765f}, 2e-5},
        {{{"power teta [s]", 0.5f}, {"power phi [s]", 0.5f}}, {3, -4, 12}, {3, -4, 12}, 2e-5},
        {{{"center [p3]", 1, -1, 2}}, {3, 1, 4}, {2.75765f, 0.75765f, 3.75765f}, 2e-5},  // 0.879 of it
        {{}, {-2, 1, -3}, {-1.72609f, 0.73324f, -2.84814f}, 2e-5},  // signs survive
        {{{"power teta [s]", 0}, {"power phi [s]", 0}}, {s, -s, s}, {0.94655f, -0.94655f, 0.94655f}, 2e-5},
        {{{"power teta [s]", 0.5f}, {"power phi [s]", 0}}, {1, 1, 1}, {1.20017f, 1.63947f, 1.20017f}, 2e-5},
        {{{"power teta [s]", 0}, {"power phi [s]", 0.5f}}, {1, 1, 1}, {1.36604f, 1, 1.36604f}, 2e-5},
        {{{"power teta [s]", 0.75f}, {"power phi [s]", 0.25f}, {"center [p3]", 0.5f, 0, -1}}, {-1, -2, 3},
         {0.26835f, -3.53091f, 2.78253f}, 2e-5},
        {{{"power phi [s]", kNaN}}, {1, 2, 3}, {1, 2, 3}, 2e-5},  // no exponent: in place
    },
});
}  // namespace
