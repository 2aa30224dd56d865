// Translate: every point moves by the vector "translation"; dragging the
// "origin" handle drags the translation with it.
#pragma once

#include "deformers/fx_deformer.h"
#include "effects/translate/translate_rule.h"
#include "scene/vec_math.h"

class GenericTranslate : public FxDeformer<FxEffect, GenericTranslate> {
public:
    void FX_THISCALL registerParams(FxParamHost* host) override;
    bool FX_THISCALL start(uint32_t) override;
    void FX_THISCALL update(float time) override;
    bool FX_THISCALL draw() override;
    const char* FX_THISCALL description() override;
    const char* FX_THISCALL author() override;

    void beginPass() { rule = {translation}; }

    Vec3 origin;          // "origin": the arrow's handle
    Vec3 previousOrigin;  // origin at start or at the last update that saw it move
    Vec3 translation;     // "translation": added to every point
    TranslateRule rule;   // per pass: the translation
};
