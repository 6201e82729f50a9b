#include "core/PointDrawing.h"

#include <GL/gl.h>

#include <algorithm>

#include "core/ComponentTransform.h"
#include "math/Point.h"

void drawDot(const Point& p) {
    glColor3f(p.color.r, p.color.g, p.color.b);
    glPointSize(4.0f);
    glBegin(GL_POINTS);
    glVertex3f(p.x, p.y, p.z);
    glEnd();
}

void emitVertices(const ComponentTransform& geometry, int from, int to) {
    if (!geometry.drawEnabled || from <= 0) {
        return;
    }
    const int count = static_cast<int>(geometry.points.size());
    const int end = to > 0 ? std::min(to, count) : count;
    for (int i = from; i < end; ++i) {
        const Point& p = geometry.points[static_cast<size_t>(i)];
        glColor3f(p.color.r, p.color.g, p.color.b);
        glVertex3f(p.x, p.y, p.z);
    }
}
