#include "core/PointDrawing.h"

#include <GL/gl.h>

#include <algorithm>

#include "core/ComponentTransform.h"
#include "core/DrawBatch.h"
#include "math/Point.h"

namespace {

constexpr float DOT_SIZE = 4.0f;

}  // namespace

void drawDot(const Point& p) {
    if (drawBatchTakes(GL_POINTS)) {
        gatherDot(p, DOT_SIZE);
        return;
    }
    glColor3f(p.color.r, p.color.g, p.color.b);
    glPointSize(DOT_SIZE);
    glBegin(GL_POINTS);
    glVertex3f(p.x, p.y, p.z);
    glEnd();
}

namespace {

// The end of the range [from, to) of the geometry's points that is drawn; from when nothing is.
int endOfRange(const ComponentTransform& geometry, int from, int to) {
    if (!geometry.drawEnabled || from <= 0) {
        return from;
    }
    const int count = static_cast<int>(geometry.points.size());
    return std::max(from, to > 0 ? std::min(to, count) : count);
}

}  // namespace

void emitVertices(const ComponentTransform& geometry, int from, int to) {
    const int end = endOfRange(geometry, from, to);
    for (int i = from; i < end; ++i) {
        const Point& p = geometry.points[static_cast<size_t>(i)];
        glColor3f(p.color.r, p.color.g, p.color.b);
        glVertex3f(p.x, p.y, p.z);
    }
}

void drawPoints(unsigned int mode, const ComponentTransform& geometry, int from, int to) {
    const int end = endOfRange(geometry, from, to);
    if (end <= from) {
        return;
    }
    const Point* first = &geometry.points[static_cast<size_t>(from)];
    if (drawBatchTakes(mode)) {
        gatherPoints(mode, first, end - from);
        return;
    }
    // Whatever the open batch holds was sent before this.
    flushDrawBatch();
    // A Point is x, y, z then its colour's r, g, b, a: both arrays read the list in place.
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Point), &first->x);
    glColorPointer(3, GL_FLOAT, sizeof(Point), &first->color.r);
    glDrawArrays(mode, 0, end - from);
    glPopClientAttrib();
}
