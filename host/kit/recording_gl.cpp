#include "recording_gl.h"

#if defined(_WIN32)
// The entry points are this DLL's exports, in opengl32's calling convention.
#define WINGDIAPI __declspec(dllexport)
#define APIENTRY __stdcall
#define FX_GL_ENTRY
#else
// Exported from the test executables so that a dlopen'ed plug-in binds its
// OpenGL calls here as well.
#define FX_GL_ENTRY __attribute__((visibility("default")))
#endif
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

extern "C" {
FX_GL_ENTRY void APIENTRY glBegin(GLenum mode) { glLog().push_back({"begin", 0, 0, 0, mode, 0}); }
FX_GL_ENTRY void APIENTRY glEnd() { glLog().push_back({"end"}); }
FX_GL_ENTRY void APIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { glLog().push_back({"vertex", x, y, z}); }
FX_GL_ENTRY void APIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { glLog().push_back({"color", r, g, b}); }
FX_GL_ENTRY void APIENTRY glDeleteLists(GLuint list, GLsizei range) {
    glLog().push_back({"deleteLists", 0, 0, 0, list, range});
}
}
