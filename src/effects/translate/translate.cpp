#include "effects/translate/translate.h"

#include "effects/follow_handle.h"
#include "gizmo/gizmo.h"

void GenericTranslate::registerParams(FxParamHost* host) {
    registerDataFlags(host);
    addPoint(host, "origin", &origin, {0.0f, 0.0f, 0.0f});
    addPoint(host, "translation", &translation, {0.0f, 10.0f, 0.0f});
}

bool GenericTranslate::start(uint32_t) {
    previousOrigin = origin;
    return true;
}

// The time plays no part: only a moved origin changes anything.
void GenericTranslate::update(float) { followHandle(origin, previousOrigin, translation); }

bool GenericTranslate::draw() {
    drawArrow(origin, translation);
    return true;
}

const char* GenericTranslate::description() { return "Translates the points of 3d objects."; }
const char* GenericTranslate::author() { return "Brisel"; }
