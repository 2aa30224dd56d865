// Effects of a stack that would change nothing in a scene: every kind of
// data they work on is switched off or absent, or the kind they follow is
// missing. fxhost names them as a run starts, so that a still result is no
// mystery.
#pragma once

#include <string>
#include <vector>

#include "kit/effect_stack.h"
#include "kit/scene.h"

// One sentence per such effect, with the parameters as they start.
std::vector<std::string> idleEffects(const EffectStack& stack, const Scene& scene);
