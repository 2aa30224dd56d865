// Animated PNG: every frame a full picture of the same size, played in a
// loop; browsers show it moving, other viewers its first frame.
#pragma once

#include <string>
#include <vector>

#include "image.h"

// Each frame shows for 1 / fps seconds. Writes through a temporary file; throws RunError.
void writeAnimatedPng(const std::string& path, const std::vector<Image>& frames, int fps);
