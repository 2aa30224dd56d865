// Defaults of the effect table: what every effect answers unless it says
// otherwise.
#include "fx/abi.h"

FxEffect::FxEffect() : hostField1(-1.0f), hostField2(0u) {}

bool FxEffect::init(uint32_t, uint32_t) { return true; }
bool FxEffect::start(uint32_t) { return true; }
void FxEffect::reserved3(uint32_t) {}
void FxEffect::update(float) {}
bool FxEffect::process(FxHostData*) { return false; }
bool FxEffect::draw() { return false; }
float FxEffect::reserved7() { return 0.0f; }
bool FxEffect::reserved8() { return false; }
void FxEffect::reserved9(uint32_t, uint32_t) {}
void FxEffect::reserved10(uint32_t) {}
void FxEffect::registerParams(FxParamHost*) {}
int32_t FxEffect::reserved15() { return 100; }
bool FxEffect::reserved16(uint32_t) { return false; }
