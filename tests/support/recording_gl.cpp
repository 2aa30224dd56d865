#include "recording_gl.h"

#include <GL/gl.h>

std::vector<GlCall>& glLog() {
    static std::vector<GlCall> log;
    return log;
}

void clearGlLog() { glLog().clear(); }

std::vector<GlCall> glCalls(const std::string& op) {
    std::vector<GlCall> out;
    for (const GlCall& c : glLog())
        if (c.op == op) out.push_back(c);
    return out;
}

// Exported from the test executables so that a dlopen'ed plug-in binds its
// OpenGL calls here as well.
extern "C" {
__attribute__((visibility("default"))) void glBegin(GLenum mode) { glLog().push_back({"begin", 0, 0, 0, mode, 0}); }
__attribute__((visibility("default"))) void glEnd() { glLog().push_back({"end"}); }
__attribute__((visibility("default"))) void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    glLog().push_back({"vertex", x, y, z});
}
__attribute__((visibility("default"))) void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    glLog().push_back({"color", r, g, b});
}
__attribute__((visibility("default"))) void glDeleteLists(GLuint list, GLsizei range) {
    glLog().push_back({"deleteLists", 0, 0, 0, list, range});
}
}
