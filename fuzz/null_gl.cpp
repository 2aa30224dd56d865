// OpenGL for the fuzzers: every call the library makes does nothing.
#include "scene/gl.h"

extern "C" {
void glBegin(GLenum) {}
void glEnd() {}
void glVertex3f(GLfloat, GLfloat, GLfloat) {}
void glColor3f(GLfloat, GLfloat, GLfloat) {}
void glDeleteLists(GLuint, GLsizei) {}
}
