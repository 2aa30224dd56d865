#include "scene/particle_copy.h"

#include <cstring>

#include "scene/host_vector.h"

void resize(ParticleSet& set, uint32_t n) {
    if (!set.particles) set.particles = newHostVector<Particle>();
    resize(*set.particles, n);
}

void release(ParticleSet& set) { deleteHostVector(set.particles); }

void copyFrom(ParticleSet& set, const ParticleSet& source) {
    const uint32_t n = count(source.particles);
    if (n == 0) {
        release(set);
        return;
    }
    resize(set, n);
    std::memcpy(static_cast<void*>(set.particles->begin), source.particles->begin, sizeof(Particle) * n);
}
