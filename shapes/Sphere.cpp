#include "shapes/Sphere.h"

#include <GL/freeglut.h>

#include "core/ComponentTransform.h"

Sphere::Sphere() : Polygon() {
    typeTag = "SPHERE";
}

Sphere::Sphere(bool updateEnabled, bool drawEnabled) : Polygon(updateEnabled, drawEnabled) {
    typeTag = "SPHERE";
}

Sphere::Sphere(bool updateEnabled, bool drawEnabled, const Point& position, const Color& color,
               bool filled)
    : Polygon(updateEnabled, drawEnabled, position, color, filled) {
    typeTag = "SPHERE";
}

void Sphere::draw(int /*elapsedMs*/) {
    // Point 0 is the centre; a transform emptied from outside has nowhere to put the sphere.
    if (!drawEnabled || !componentTransform || componentTransform->points.empty()) {
        return;
    }
    // Placed in the scene like every other shape: at its centre under the current view.
    const Point& centre = componentTransform->points[0];
    glColor3f(color.r, color.g, color.b);
    glPushMatrix();
    glTranslatef(centre.x, centre.y, centre.z);
    if (filled) {
        glutSolidSphere(RADIUS, SLICES, STACKS);
    } else {
        glutWireSphere(RADIUS, SLICES, STACKS);
    }
    glPopMatrix();
}
