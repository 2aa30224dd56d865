// The scene used when no file is given: a textured torus standing in the
// x-y plane, a spline of an open helix and a closed circle, and a cloud of
// particles, all about the origin.
#pragma once

#include "kit/scene.h"

Scene builtinScene();
