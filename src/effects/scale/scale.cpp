#include "effects/scale/scale.h"

void GenericScale::registerParams(FxParamHost* host) {
    registerDataFlags(host);
    addPoint(host, "origin", &origin, {0.0f, 0.0f, 0.0f});
    sizes.addParams(host, "");
}

bool GenericScale::start(uint32_t) {
    sizes.remember();
    return true;
}

// The time plays no part: update only links the sizes.
void GenericScale::update(float) { sizes.link(); }

const char* GenericScale::description() { return "Scales the points of 3d objects."; }
const char* GenericScale::author() { return "Brisel"; }
