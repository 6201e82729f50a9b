#include "collision/CircleCollider.h"

#include <GL/gl.h>

#include <cmath>
#include <limits>
#include <typeinfo>

#include "collision/BoxCollider.h"
#include "core/ComponentTransform.h"

namespace {

const char* const TAG = "CIRCLECOLLIDER";

}  // namespace

CircleCollider::CircleCollider() {
    typeTag = TAG;
}

CircleCollider::CircleCollider(bool updateEnabled, bool drawEnabled, Point centre,
                               bool colliderFlag)
    : Collider(updateEnabled, drawEnabled, centre, colliderFlag) {
    typeTag = TAG;
}

CircleCollider::CircleCollider(bool updateEnabled, bool drawEnabled, bool colliderFlag,
                               Point centre, float radius)
    : Collider(updateEnabled, drawEnabled, centre, colliderFlag), radius(radius) {
    typeTag = TAG;
}

CircleCollider::CircleCollider(bool updateEnabled, bool drawEnabled, bool colliderFlag,
                               Point centre, float radius, int extra)
    : Collider(updateEnabled, drawEnabled, extra, centre, colliderFlag), radius(radius) {
    typeTag = TAG;
}

void CircleCollider::draw(int /*elapsedMs*/) {
    if (!drawEnabled || !componentTransform) {
        return;
    }
    const Point& c = componentTransform->position;
    const float r = radius;
    glBegin(GL_LINES);
    glColor3f(0.33f, 0.0f, 0.0f);
    glVertex3f(c.x - r, c.y, c.z);
    glVertex3f(c.x + r, c.y, c.z);
    glColor3f(0.33f, 0.33f, 0.0f);
    glVertex3f(c.x, c.y - r, c.z);
    glVertex3f(c.x, c.y + r, c.z);
    glColor3f(0.66f, 0.0f, 0.33f);
    glVertex3f(c.x, c.y, c.z - r);
    glVertex3f(c.x, c.y, c.z + r);
    glEnd();
}

bool CircleCollider::collideWith(Component* other) {
    if (other == nullptr) {
        return false;
    }
    if (other->getTypeTag() == "BOXCOLLIDER") {
        return collideWithBox(dynamic_cast<BoxCollider*>(other));
    }
    if (other->getTypeTag() == TAG) {
        auto* circle = dynamic_cast<CircleCollider*>(other);
        // A foreign class wearing the tag is not a sphere.
        return circle != nullptr && collideWithCircle(circle);
    }
    return false;
}

bool CircleCollider::collideWithCircle(CircleCollider* other) {
    if (other == nullptr || !componentTransform || !other->componentTransform) {
        return false;
    }
    const Point& c1 = componentTransform->position;
    const Point& c2 = other->componentTransform->position;
    // Squares in double, one rounding of the sum: spheres that exactly touch stay touching.
    const double squares =
        std::pow(c1.x - c2.x, 2) + std::pow(c1.y - c2.y, 2) + std::pow(c1.z - c2.z, 2);
    const float distance = std::sqrt(static_cast<float>(squares));
    // Written so that a NaN distance answers false.
    return other->getRadius() + radius >= distance;
}

bool CircleCollider::collideWithBox(BoxCollider* /*other*/) {
    return false;
}

bool CircleCollider::bounds(Bounds& out) {
    return typeid(*this) == typeid(CircleCollider) && sphereBounds(out);
}

bool CircleCollider::sphereBounds(Bounds& out) const {
    if (!componentTransform) {
        return false;
    }
    const Point& c = componentTransform->position;
    const float centre[3] = {c.x, c.y, c.z};
    const float r = std::fabs(radius);
    const float extent[3] = {r, r, r};
    out = Bounds::around(centre, extent);
    // Infinities and NaNs fail the comparison.
    for (int k = 0; k < 3; ++k) {
        if (!(out.lo[k] > -std::numeric_limits<float>::infinity() &&
              out.hi[k] < std::numeric_limits<float>::infinity())) {
            return false;
        }
    }
    return true;
}
