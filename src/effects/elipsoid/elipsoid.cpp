#include "effects/elipsoid/elipsoid.h"

constinit const ExpRange kElipsoidExponentCurve{0.1f, 1.0f, 8.0f};

void GenericElipsoid::registerParams(FxParamHost* host) {
    registerDataFlags(host);
    addPoint(host, "center", &center, {0.0f, 0.0f, 0.0f});
    addScalar(host, "power teta", &powerTeta, 0.1f);
    addScalar(host, "power phi", &powerPhi, 0.1f);
}

const char* GenericElipsoid::description() {
    return "Deforms points of current 3d objects in a spherical harmonikal way.";
}
const char* GenericElipsoid::author() { return "Brisel"; }
