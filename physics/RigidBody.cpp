#include "physics/RigidBody.h"

#include <atomic>
#include <cmath>

#include "core/GameObject.h"
#include "physics/Physics.h"

using _Tarn::Vector3;

namespace {

std::atomic<std::uint64_t> attached{0};

}  // namespace

RigidBody::RigidBody() : RigidBody(1.0f) {}

RigidBody::RigidBody(float mass, float friction, float restitution) : Component(true, false) {
    typeTag = "RIGIDBODY";
    if (!setMass(mass)) {
        refuse("the mass is not 0 or a finite positive number");
    }
    if (!setFriction(friction)) {
        refuse("the friction is not a finite number from 0 up");
    }
    if (!setRestitution(restitution)) {
        refuse("the restitution is not a number from 0 to 1");
    }
}

std::uint64_t RigidBody::attachments() {
    return attached.load(std::memory_order_relaxed);
}

void RigidBody::setOwner(GameObject* object) {
    Component::setOwner(object);
    if (object == nullptr) {
        return;
    }
    if (object->rigidBody != nullptr && object->rigidBody != this) {
        refuse("its object already has a rigid body");
        return;
    }
    object->rigidBody = this;
    attached.fetch_add(1, std::memory_order_relaxed);
    for (const auto& component : object->components) {
        if (dynamic_cast<const Physics*>(component.get()) != nullptr) {
            refuseBesidePhysics();
        }
    }
}

void RigidBody::siblingAttached(Component& sibling) {
    if (dynamic_cast<const Physics*>(&sibling) != nullptr) {
        refuseBesidePhysics();
    }
}

void RigidBody::refuseBesidePhysics() {
    refuse("its object has a Physics, which moves it as well");
}

void RigidBody::refuse(const std::string& why) {
    if (problem.empty()) {
        problem = why;
    }
    velocity = Vector3(0.0f, 0.0f, 0.0f);
    angularVelocity = Vector3(0.0f, 0.0f, 0.0f);
    force = Vector3(0.0f, 0.0f, 0.0f);
}

bool RigidBody::setMass(float value) {
    // 1 / mass must be a number too: a mass too small to invert is no mass.
    if (!(value == 0.0f || (value > 0.0f && std::isfinite(value) && std::isfinite(1.0f / value)))) {
        return false;
    }
    mass = value;
    return true;
}

bool RigidBody::setInertia(const Vector3& moments) {
    for (const float m : {moments.x, moments.y, moments.z}) {
        if (!(m > 0.0f && std::isfinite(m) && std::isfinite(1.0f / m))) {
            return false;
        }
    }
    inertia = moments;
    return true;
}

bool RigidBody::setFriction(float value) {
    if (!(value >= 0.0f && std::isfinite(value))) {
        return false;
    }
    friction = value;
    return true;
}

bool RigidBody::setRestitution(float value) {
    if (!(value >= 0.0f && value <= 1.0f)) {
        return false;
    }
    restitution = value;
    return true;
}

bool RigidBody::setVelocity(const Vector3& value) {
    return wakeWith(velocity, value);
}

bool RigidBody::setAngularVelocity(const Vector3& value) {
    return wakeWith(angularVelocity, value);
}

bool RigidBody::wakeWith(Vector3& field, const Vector3& value) {
    if (!value.isFinite()) {
        return false;
    }
    field = value;
    wake();
    return true;
}

bool RigidBody::addForce(const Vector3& value) {
    if (!value.isFinite()) {
        return false;
    }
    // No force, no push: a spring at rest lets a body sleep.
    if (value.x != 0.0f || value.y != 0.0f || value.z != 0.0f) {
        force += value;
        wake();
    }
    return true;
}

bool RigidBody::addConstantForce(const Vector3& value) {
    if (!value.isFinite()) {
        return false;
    }
    constantForces.push_back(value);
    wake();
    return true;
}

bool RigidBody::isMovable() const {
    return mass > 0.0f && problem.empty();
}

void RigidBody::wake() {
    asleep = false;
    restSteps = 0;
}
