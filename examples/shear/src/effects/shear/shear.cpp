#include "effects/shear/shear.h"

#include "scene/param_registration.h"

void GenericShear::registerParams(FxParamHost* host) {
    registerDataFlags(host);
    addBare(host, "amount", &amount, 0.5f);
    addBare(host, "height", &height, 0.0f);
}

const char* GenericShear::description() { return "Shears the points of 3d objects."; }
const char* GenericShear::author() { return "Brisel"; }
