#include "GlCallCounter.h"

#include <GL/gl.h>

// The benchmark is linked with -Wl,--wrap=<name> for each name below: every call the engine's
// objects (and the reference) make to one of them lands in __wrap_<name>, which counts it and
// passes it on to the driver's __real_<name>. The list covers every GL call of a box field's
// frame: the shapes, the colliders, the object and transform dots, the camera and the clear.
// clang-format off
#define ENGINE_GL_CALLS(X)                                                                  \
    X(void, glBegin, (GLenum mode), (mode))                                                 \
    X(void, glEnd, (), ())                                                                  \
    X(void, glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                       \
    X(void, glColor3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b))                        \
    X(void, glPointSize, (GLfloat size), (size))                                            \
    X(void, glDrawArrays, (GLenum mode, GLint first, GLsizei count), (mode, first, count))  \
    X(void, glVertexPointer, (GLint size, GLenum type, GLsizei stride, const void* data),    \
      (size, type, stride, data))                                                           \
    X(void, glColorPointer, (GLint size, GLenum type, GLsizei stride, const void* data),     \
      (size, type, stride, data))                                                           \
    X(void, glEnableClientState, (GLenum array), (array))                                   \
    X(void, glDisableClientState, (GLenum array), (array))                                  \
    X(void, glPushClientAttrib, (GLbitfield mask), (mask))                                  \
    X(void, glPopClientAttrib, (), ())                                                      \
    X(void, glPushMatrix, (), ())                                                           \
    X(void, glPopMatrix, (), ())                                                            \
    X(void, glLoadIdentity, (), ())                                                         \
    X(void, glMatrixMode, (GLenum mode), (mode))                                            \
    X(void, glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                     \
    X(void, glRotatef, (GLfloat a, GLfloat x, GLfloat y, GLfloat z), (a, x, y, z))          \
    X(void, glClear, (GLbitfield mask), (mask))
// clang-format on

namespace {
long calls = 0;
}  // namespace

long glCallsMade() {
    return calls;
}

#define ENGINE_WRAP(result, name, parameters, arguments) \
    extern "C" result __real_##name parameters;          \
    extern "C" result __wrap_##name parameters {         \
        ++calls;                                         \
        return __real_##name arguments;                  \
    }
ENGINE_GL_CALLS(ENGINE_WRAP)
