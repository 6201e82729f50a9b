#include "physics/Solid.h"

#include <limits>
#include <typeinfo>

#include "collision/BoxCollider.h"
#include "collision/BoxContacts.h"
#include "collision/CircleCollider.h"
#include "collision/Collider.h"
#include "collision/SphereContacts.h"
#include "core/ComponentTransform.h"
#include "core/GameObject.h"

using _Tarn::Vector3;

namespace {

Solid boxOf(const OrientedBox* box) {
    Solid solid;
    // A box that is sheared, not finite or out of range is no plain box.
    if (box == nullptr || !box->isPlain()) {
        return solid;
    }
    solid.kind = Solid::Kind::BOX;
    solid.box = box;
    solid.centre = box->centre;
    solid.reach = box->reach;
    return solid;
}

Solid sphereOf(const CircleCollider& collider) {
    Solid solid;
    if (!collider.componentTransform || collider.componentTransform->points.empty()) {
        return solid;
    }
    const Point& c = collider.componentTransform->points[0];
    const Vector3 centre(c.x, c.y, c.z);
    const float r = collider.getRadius();
    if (!centre.isFinite() || !(r >= 0.0f) || !(r < std::numeric_limits<float>::infinity())) {
        return solid;
    }
    solid.kind = Solid::Kind::SPHERE;
    solid.centre = centre;
    solid.radius = r;
    solid.reach = r;
    return solid;
}

}  // namespace

Solid Solid::of(Component* collider) {
    if (collider == nullptr) {
        return Solid();
    }
    // The engine's own classes cost a comparison; others are asked through a cast. A box is
    // whatever box its collider answers for (Collider::plainBox).
    const std::type_info& type = typeid(*collider);
    if (type == typeid(BoxCollider)) {
        return boxOf(static_cast<BoxCollider*>(collider)->plainBox());
    }
    if (type == typeid(CircleCollider)) {
        return sphereOf(*static_cast<CircleCollider*>(collider));
    }
    if (auto* sphere = dynamic_cast<CircleCollider*>(collider)) {
        return sphereOf(*sphere);
    }
    if (auto* other = dynamic_cast<Collider*>(collider)) {
        return boxOf(other->plainBox());
    }
    return Solid();
}

Solid Solid::firstOf(const GameObject& object, Component** collider) {
    for (Component* candidate : object.colliders) {
        const Solid solid = of(candidate);
        if (solid.valid()) {
            if (collider != nullptr) {
                *collider = candidate;
            }
            return solid;
        }
    }
    return Solid();
}

Vector3 Solid::inertia(float mass) const {
    if (kind == Kind::SPHERE) {
        const float moment = 0.4f * mass * radius * radius;
        return Vector3(moment, moment, moment);
    }
    if (kind != Kind::BOX) {
        return Vector3(0.0f, 0.0f, 0.0f);
    }
    const float x = box->halfWidths[0] * box->halfWidths[0];
    const float y = box->halfWidths[1] * box->halfWidths[1];
    const float z = box->halfWidths[2] * box->halfWidths[2];
    const float third = mass / 3.0f;
    return Vector3(third * (y + z), third * (x + z), third * (x + y));
}

bool contactBetween(const Solid& a, const Solid& b, ContactManifold& out) {
    out.count = 0;
    // The bounding spheres settle most pairs at once.
    if (!OrientedBox::spheresMayMeet(a.centre, a.reach, b.centre, b.reach)) {
        return false;
    }
    if (a.kind == Solid::Kind::BOX) {
        if (b.kind == Solid::Kind::BOX) {
            return boxContacts(*a.box, *b.box, out);
        }
        return b.kind == Solid::Kind::SPHERE && boxSphereContacts(*a.box, b.centre, b.radius, out);
    }
    if (a.kind != Solid::Kind::SPHERE) {
        return false;
    }
    if (b.kind == Solid::Kind::SPHERE) {
        return sphereContacts(a.centre, a.radius, b.centre, b.radius, out);
    }
    if (b.kind == Solid::Kind::BOX && boxSphereContacts(*b.box, a.centre, a.radius, out)) {
        out.flip();
        return true;
    }
    return false;
}
