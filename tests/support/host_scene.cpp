#include "host_scene.h"

#include <cmath>

void HostScene::publish() {
    particleArray_ = viewOf(particles);
    particleSet.particles = &particleArray_;

    lengths_.assign(curves.size(), {});
    curveRecords_.assign(curves.size(), Curve{});
    for (size_t c = 0; c < curves.size(); ++c) {
        const std::vector<Vec3>& p = curves[c];
        const bool isClosed = c < closed.size() && closed[c];
        std::vector<float>& l = lengths_[c];
        l.assign(p.size(), 0.0f);
        float total = 0.0f;
        for (size_t i = 0; i < p.size(); ++i) {
            if (i + 1 == p.size() && !isClosed) break;
            const Vec3& a = p[i];
            const Vec3& b = p[(i + 1) % p.size()];
            const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
            float d = float(std::sqrt(double(float(dx * dx + dy * dy + dz * dz))));
            if (d == 0.0f) d = 0.0001f;
            l[i] = d;
            total = float(double(total) + d);
        }
        Curve& r = curveRecords_[c];
        r.points = viewOf(curves[c]);
        r.segmentLengths = viewOf(l);
        r.closed = isClosed;
        r.length = total;
    }
    curveArray_ = viewOf(curveRecords_);
    spline.curves = &curveArray_;

    vertexArray_ = viewOf(vertices);
    normalArray_ = viewOf(normals);
    faceArray_ = viewOf(faces);
    uvFaceArray_ = viewOf(uvFaces);
    uvArray_ = viewOf(uvs);
    faceFlags.resize(faces.size() / 3 / 10 + 1, 0u);
    mesh = {&vertexArray_, hasNormals ? &normalArray_ : nullptr, &faceArray_,
            uvs.empty() ? nullptr : &uvFaceArray_, uvs.empty() ? nullptr : &uvArray_, faceFlags.data(),
            kNoDisplayList};
}

void ServingHostData::serve(HostScene& scene) {
    particles = &scene.particleSet;
    spline = &scene.spline;
    mesh = &scene.mesh;
}
void ServingHostData::setMesh(Mesh* m) {
    handedMesh = m;
    if (keepHanded) mesh = m;
}
void ServingHostData::setSpline(Spline* s) {
    handedSpline = s;
    if (keepHanded) spline = s;
}
void ServingHostData::setParticles(ParticleSet* p) {
    handedParticles = p;
    if (keepHanded) particles = p;
}

namespace {
std::string withBool(const char* op, bool b) { return std::string(op) + (b ? "(true)" : "(false)"); }

template <class T>
T logged(std::vector<std::string>& calls, std::string call, T answer) {
    calls.push_back(std::move(call));
    return answer;
}
}  // namespace

bool RecordingHostData::hasMesh(bool exclusive) { return logged(calls, withBool("hasMesh", exclusive), offerMesh); }
void RecordingHostData::setMesh(Mesh* mesh) { handedMesh = logged(calls, "setMesh", mesh); }
Mesh* RecordingHostData::getMesh() { return logged(calls, "getMesh", &scene_.mesh); }
bool RecordingHostData::hasSpline(bool exclusive) { return logged(calls, withBool("hasSpline", exclusive), offerSpline); }
void RecordingHostData::setSpline(Spline* spline) { handedSpline = logged(calls, "setSpline", spline); }
Spline* RecordingHostData::getSpline() { return logged(calls, "getSpline", &scene_.spline); }
bool RecordingHostData::hasParticles(bool exclusive) {
    return logged(calls, withBool("hasParticles", exclusive), offerParticles);
}
void RecordingHostData::setParticles(ParticleSet* set) { handedParticles = logged(calls, "setParticles", set); }
ParticleSet* RecordingHostData::getParticles() { return logged(calls, "getParticles", &scene_.particleSet); }
