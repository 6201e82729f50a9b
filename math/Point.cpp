#include "math/Point.h"

#include <GL/gl.h>

void Point::draw(int /*elapsedMs*/) const {
    glColor3f(color.r, color.g, color.b);
    glPointSize(4.0f);
    glBegin(GL_POINTS);
    glVertex3f(x, y, z);
    glEnd();
}
