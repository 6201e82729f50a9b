#include "physics/Spring.h"

#include "core/Component.h"
#include "core/ComponentTransform.h"
#include "physics/Physics.h"
#include "physics/RigidBody.h"
#include "physics/Tether.h"

using _Tarn::Vector3;

namespace {

const size_t END_POINT = 1;

// The Physics of the end's object, if it has one; a component merely tagged "PHYSICS" that
// is something else does not count.
Physics* physicsOf(const Component* end) {
    if (end == nullptr || end->owner == nullptr) {
        return nullptr;
    }
    return dynamic_cast<Physics*>(end->owner->getComponent("PHYSICS"));
}

RigidBody* bodyOf(const Component* end) {
    if (end == nullptr || end->owner == nullptr) {
        return nullptr;
    }
    return dynamic_cast<RigidBody*>(end->owner->rigidBody);
}

bool hasEndPoint(const Component* end) {
    return end != nullptr && end->componentTransform &&
           end->componentTransform->points.size() > END_POINT;
}

}  // namespace

Spring::Spring() : GameObject() {
    attachTether(false, false);
}

Spring::Spring(bool updateEnabled, bool drawEnabled, float stiffness, float springLength)
    : GameObject(updateEnabled, drawEnabled,
                 Point(0.0f, 0.0f, 0.0f, Color(1.0f, 0.0f, 0.0f, 1.0f))),
      springLength(springLength),
      stiffness(stiffness) {
    attachTether(updateEnabled, drawEnabled);
}

void Spring::attachTether(bool updateEnabled, bool drawEnabled) {
    tether = new Tether(updateEnabled, drawEnabled);
    addComponent(tether);
}

void Spring::connect(Component* a, Component* b) {
    endA = a;
    endB = b;
    physicsA = physicsOf(a);
    physicsB = physicsOf(b);
    bodyA = bodyOf(a);
    bodyB = bodyOf(b);
    tether->drawEnabled = drawEnabled;
}

void Spring::disconnect() {
    endA = nullptr;
    endB = nullptr;
    physicsA = nullptr;
    physicsB = nullptr;
    bodyA = nullptr;
    bodyB = nullptr;
    tether->drawEnabled = false;
}

void Spring::forgetObject(const GameObject& removed) {
    GameObject::forgetObject(removed);
    const auto belongs = [&removed](const Component* part) {
        return part != nullptr && part->owner == &removed;
    };
    // An end's Physics belongs to the end's object, so the ends decide.
    if (belongs(endA) || belongs(endB)) {
        disconnect();
    }
}

void Spring::update(int elapsedMs) {
    GameObject::update(elapsedMs);
    if (!updateEnabled || !hasEndPoint(endA) || !hasEndPoint(endB)) {
        return;
    }
    // Both ends are read before either is pushed, so the pulls are equal and opposite.
    const Point a = endPoint(endA);
    const Point b = endPoint(endB);
    tether->setEnds(a, b);
    if (physicsA != nullptr) {
        physicsA->addForce(springForce(a, b));
    }
    if (physicsB != nullptr) {
        physicsB->addForce(springForce(b, a));
    }
    // A rigid body refuses a force that is not finite; the spring then pulls it no more.
    if (bodyA != nullptr) {
        bodyA->addForce(springForce(a, b));
    }
    if (bodyB != nullptr) {
        bodyB->addForce(springForce(b, a));
    }
}

Point Spring::endPoint(Component* end) const {
    if (!hasEndPoint(end)) {
        return Point();
    }
    return end->componentTransform->points[END_POINT];
}

Vector3 Spring::springForce(const Point& from, const Point& to) const {
    return Vector3(stiffness * (to.x - from.x), stiffness * (to.y - from.y),
                   stiffness * (to.z - from.z));
}
