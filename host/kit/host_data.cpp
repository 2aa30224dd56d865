#include "host_data.h"

void HostData::serve(Mesh* m, Spline* s, ParticleSet* p) {
    mesh = m;
    spline = s;
    particles = p;
    handedMesh = nullptr;
    handedSpline = nullptr;
    handedParticles = nullptr;
}

void HostData::log(const char* call) {
    if (logCalls) calls.emplace_back(call);
}

void HostData::log(const char* call, bool exclusive) {
    if (logCalls) calls.push_back(std::string(call) + (exclusive ? "(true)" : "(false)"));
}

bool FX_THISCALL HostData::hasMesh(bool exclusive) {
    log("hasMesh", exclusive);
    return offerMesh && mesh;
}

void FX_THISCALL HostData::setMesh(Mesh* m) {
    log("setMesh");
    handedMesh = m;
    if (keepHanded) mesh = m;
}

Mesh* FX_THISCALL HostData::getMesh() {
    log("getMesh");
    return mesh;
}

bool FX_THISCALL HostData::hasSpline(bool exclusive) {
    log("hasSpline", exclusive);
    return offerSpline && spline && (spline->curves || offerWithoutArray);
}

void FX_THISCALL HostData::setSpline(Spline* s) {
    log("setSpline");
    handedSpline = s;
    if (keepHanded) spline = s;
}

Spline* FX_THISCALL HostData::getSpline() {
    log("getSpline");
    return spline;
}

bool FX_THISCALL HostData::hasParticles(bool exclusive) {
    log("hasParticles", exclusive);
    return offerParticles && particles && (particles->particles || offerWithoutArray);
}

void FX_THISCALL HostData::setParticles(ParticleSet* p) {
    log("setParticles");
    handedParticles = p;
    if (keepHanded) particles = p;
}

ParticleSet* FX_THISCALL HostData::getParticles() {
    log("getParticles");
    return particles;
}
