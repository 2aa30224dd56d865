#include "host_data.h"

void HostData::reset(Mesh* mesh, Spline* spline, ParticleSet* particles) {
    mesh_ = mesh;
    spline_ = spline;
    particles_ = particles;
}

bool FX_THISCALL HostData::hasMesh(bool) { return mesh_ != nullptr; }
void FX_THISCALL HostData::setMesh(Mesh* mesh) { mesh_ = mesh; }
Mesh* FX_THISCALL HostData::getMesh() { return mesh_; }

// A spline or a particle set handed back without its array (the effect
// released its copy) holds nothing more to read.
bool FX_THISCALL HostData::hasSpline(bool) { return spline_ && spline_->curves; }
void FX_THISCALL HostData::setSpline(Spline* spline) { spline_ = spline; }
Spline* FX_THISCALL HostData::getSpline() { return spline_; }

bool FX_THISCALL HostData::hasParticles(bool) { return particles_ && particles_->particles; }
void FX_THISCALL HostData::setParticles(ParticleSet* set) { particles_ = set; }
ParticleSet* FX_THISCALL HostData::getParticles() { return particles_; }
