#include "physics/Tether.h"

#include <GL/gl.h>

Tether::Tether() = default;

Tether::Tether(bool updateEnabled, bool drawEnabled) : Component(updateEnabled, drawEnabled) {}

void Tether::setEnds(const Point& a, const Point& b) {
    endA = a;
    endB = b;
}

void Tether::update(int /*elapsedMs*/) {}

void Tether::draw(int /*elapsedMs*/) {
    if (!drawEnabled) {
        return;
    }
    glBegin(GL_LINES);
    glColor3f(endA.color.r, endA.color.g, endA.color.b);
    glVertex3f(endA.x, endA.y, endA.z);
    glColor3f(endB.color.r, endB.color.g, endB.color.b);
    glVertex3f(endB.x, endB.y, endB.z);
    glEnd();
}
