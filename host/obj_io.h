// Scenes as Wavefront OBJ: faces are the mesh (triangulated, normals and uvs
// kept), `l` polylines the curves (closed when the last index repeats the
// first), `p` points the particles.
#pragma once

#include <ostream>
#include <string>

#include "kit/scene.h"

// Throws RunError "FILE:LINE: reason" for a file the records cannot hold.
Scene loadObj(const std::string& path);

void writeObj(const Scene& scene, std::ostream& out);
// The same into a file, written whole or not at all; throws RunError.
void writeObjFile(const Scene& scene, const std::string& path);
