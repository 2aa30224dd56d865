// The particle working copy: a ParticleSet held by an effect.
#pragma once

#include "fx/abi.h"

void resize(ParticleSet& set, uint32_t n);
void release(ParticleSet& set);
// All records as one block; an absent or empty source releases the copy.
void copyFrom(ParticleSet& set, const ParticleSet& source);
