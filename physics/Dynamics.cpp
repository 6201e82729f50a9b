#include "physics/Dynamics.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/ComponentTransform.h"
#include "core/GameObject.h"
#include "core/Transform.h"
#include "core/World.h"
#include "math/Matrix.h"
#include "physics/BodyMotion.h"
#include "physics/RigidBody.h"

using _Tarn::Vector3;

// Who owns a contact: the body that looks for it first (see Dynamics.h). The impulses of
// this step's contacts are kept, in the order they were found, for the next step; the
// contacts a body owns come one after the other, and the body keeps where they start and how
// many there are.

namespace {

// The most a body turns in one step: faster turns are slowed to this, so that a step's turn
// stays small enough for the contacts found before it to hold.
constexpr float MOST_TURN = 0.5f;

bool inRange(const Vector3& v) {
    const float range = RigidBody::COORDINATE_RANGE;
    return std::fabs(v.x) <= range && std::fabs(v.y) <= range && std::fabs(v.z) <= range;
}

float inverse(float value) {
    return value > 0.0f ? 1.0f / value : 0.0f;
}

using Axes = Vector3[3];
const Axes WORLD_AXES = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};

// The axes a solid's principal moments are about: a box's own; any will do for a sphere.
const Axes& principalAxes(const Solid& solid) {
    return solid.kind == Solid::Kind::BOX ? solid.box->axes : WORLD_AXES;
}

// m v^2 / 2 + w.I w / 2, the moments about the shape's axes.
double kineticEnergy(const RigidBody& body, const Solid& solid) {
    const Vector3 v = body.getVelocity();
    const Vector3 w = body.getAngularVelocity();
    double energy = 0.5 * static_cast<double>(body.getMass() * v.dot(v));
    const Vector3 moments = solid.inertia(body.getMass());
    const Axes& axes = principalAxes(solid);
    const float m[3] = {moments.x, moments.y, moments.z};
    for (int k = 0; k < 3; ++k) {
        const double along = static_cast<double>(w.dot(axes[k]));
        energy += 0.5 * static_cast<double>(m[k]) * along * along;
    }
    return energy;
}

// How fast a body closes on what it touches at the fastest of the contact's points, the other
// side standing still.
float closingSpeed(const SolverBody& body, const ContactManifold& manifold) {
    float fastest = 0.0f;
    for (int k = 0; k < manifold.count; ++k) {
        const Vector3 r = manifold.points[k].position - body.centre;
        const Vector3 v = body.velocity + body.angularVelocity.cross(r);
        fastest = std::fmax(fastest, v.dot(manifold.normal));
    }
    return fastest;
}

RigidBody* bodyOf(const GameObject& object) {
    return static_cast<RigidBody*>(object.rigidBody);
}

}  // namespace

Dynamics::Dynamics(const ContactSettings& contacts, const SleepSettings& sleep)
    : contacts(contacts), sleep(sleep) {}

Dynamics& Dynamics::enable(World& world) {
    auto stage = std::make_unique<Dynamics>();
    Dynamics& made = *stage;
    world.setStage(std::move(stage));
    return made;
}

void Dynamics::objectRemoved(const GameObject& object) {
    rescan = true;
    // Its body goes from the list at once: the next removal may come before the next step.
    RigidBody* leaving = bodyOf(object);
    if (belongs(leaving)) {
        bodies.erase(bodies.begin() + leaving->index);
        for (std::size_t i = leaving->index; i < bodies.size(); ++i) {
            bodies[i]->index = static_cast<std::uint32_t>(i);
        }
    }
    // What rested on it must find out that it is gone.
    for (RigidBody* body : bodies) {
        body->wake();
    }
}

void Dynamics::beforeUpdates(World& world) {
    if (rescan || objectsSeen != world.objects.size() ||
        attachmentsSeen != RigidBody::attachments()) {
        findBodies(world);
    }
}

void Dynamics::findBodies(World& world) {
    bodies.clear();
    for (const auto& object : world.objects) {
        RigidBody* body = bodyOf(*object);
        if (body != nullptr && body->owner == object.get()) {
            body->index = static_cast<std::uint32_t>(bodies.size());
            bodies.push_back(body);
        }
    }
    // Every body may be awake at once.
    awake.reserve(bodies.size());
    solids.reserve(bodies.size() + 1);
    solverBodies.reserve(bodies.size() + 1);
    rescan = false;
    objectsSeen = world.objects.size();
    attachmentsSeen = RigidBody::attachments();
}

bool Dynamics::belongs(const RigidBody* body) const {
    return body != nullptr && body->index < bodies.size() && bodies[body->index] == body;
}

void Dynamics::afterUpdates(World& world) {
    step = Step();
    step.bodies = bodies.size();
    solver.clear();
    found.clear();
    awake.clear();
    solids.clear();
    solverBodies.clear();
    // Solver body 0 stands for every obstacle: it never moves.
    solverBodies.emplace_back();
    solids.emplace_back();

    for (RigidBody* body : bodies) {
        body->solverIndex = 0;
    }
    for (RigidBody* body : bodies) {
        if (!body->asleep) {
            prepare(*body);
        }
    }
    // Bodies woken by a touch join `awake` as they are found, and look for their own
    // contacts in turn.
    for (std::size_t i = 0; i < awake.size(); ++i) {
        findContacts(world, *awake[i]);
    }

    solver.solve(solverBodies, contacts);

    ++steps;
    lastTouches.clear();
    for (std::size_t k = 0; k < found.size(); ++k) {
        RigidBody& owner = *found[k].owner;
        if (owner.touchedAt != steps) {
            owner.touchedAt = steps;
            owner.firstTouch = static_cast<std::uint32_t>(lastTouches.size());
            owner.touchCount = 0;
        }
        ++owner.touchCount;
        Touch touch;
        touch.other = found[k].other;
        touch.count = solver.impulses(k, touch.impulses);
        lastTouches.push_back(touch);
    }
    for (RigidBody* body : awake) {
        move(*body);
    }
    fallAsleep();
    step.awake = awake.size();
    step.contacts = found.size();
}

bool Dynamics::prepare(RigidBody& body) {
    if (!body.isMovable() || body.owner == nullptr || !body.owner->transform) {
        return false;
    }
    Component* shape = nullptr;
    const Solid solid = Solid::firstOf(*body.owner, &shape);
    if (!solid.valid()) {
        // No box or sphere yet (or none that is one now): it waits, immovable.
        return false;
    }
    const std::uint64_t revision = shape->componentTransform->getRevision();
    if (shape != body.shape || revision != body.movedRevision) {
        // Moved by other code since the stage last moved it, or just attached: its box is
        // what it is now.
        body.shape = shape;
        body.movedRevision = revision;
        if (solid.kind == Solid::Kind::BOX) {
            const float* h = solid.box->halfWidths;
            body.halfWidths = Vector3(h[0], h[1], h[2]);
        }
        body.asleep = false;
        body.restSteps = 0;
    }
    if (!inRange(solid.centre)) {
        body.refuse("the body is outside the coordinate range");
        return false;
    }
    Vector3 moments = body.inertia;
    if (!(moments.x > 0.0f)) {
        moments = solid.inertia(body.mass);
    }
    const float inverseMoments[3] = {inverse(moments.x), inverse(moments.y), inverse(moments.z)};
    if (!(moments.x > 0.0f && moments.y > 0.0f && moments.z > 0.0f) ||
        !std::isfinite(inverseMoments[0]) || !std::isfinite(inverseMoments[1]) ||
        !std::isfinite(inverseMoments[2])) {
        body.refuse("the shape has no inertia: it is flat, or too small");
        return false;
    }

    for (const Vector3& f : body.constantForces) {
        body.force += f;
    }
    body.velocity += body.force;
    body.force = Vector3(0.0f, 0.0f, 0.0f);
    if (!body.velocity.isFinite()) {
        body.refuse("the forces made its velocity infinite");
        return false;
    }

    SolverBody s;
    s.velocity = body.velocity;
    s.angularVelocity = body.angularVelocity;
    s.centre = solid.centre;
    s.inverseMass = 1.0f / body.mass;
    s.inverseInertia = SymmetricMatrix3::turned(principalAxes(solid), inverseMoments);
    body.solverIndex = static_cast<std::uint32_t>(solverBodies.size());
    solverBodies.push_back(s);
    solids.push_back(solid);
    awake.push_back(&body);
    return true;
}

void Dynamics::findContacts(World& world, RigidBody& body) {
    const Solid own = solids[body.solverIndex];
    // The broad phase's candidates when the world has one, otherwise every object with a
    // collider: in the world's order either way.
    candidates.clear();
    world.collectCandidates(*body.owner, candidates);
    for (GameObject* other : candidates) {
        touch(body, own, *other);
    }
}

void Dynamics::touch(RigidBody& body, const Solid& own, GameObject& other) {
    RigidBody* otherBody = bodyOf(other);
    if (otherBody != nullptr && !belongs(otherBody)) {
        // Added during this step: it joins, as a body, at the next.
        return;
    }
    const bool dynamic = otherBody != nullptr && otherBody->isMovable();
    if (dynamic && otherBody->solverIndex != 0 && otherBody->solverIndex < body.solverIndex) {
        // Both awake, and the other has looked for its contacts already, this one among them.
        return;
    }
    Component* shape = nullptr;
    Solid solid;
    if (dynamic && otherBody->solverIndex != 0) {
        solid = solids[otherBody->solverIndex];
        shape = otherBody->shape;
    } else {
        solid = Solid::firstOf(other, &shape);
    }
    ContactManifold manifold;
    if (!solid.valid() || !contactBetween(own, solid, manifold)) {
        return;
    }
    std::uint32_t otherIndex = 0;
    if (dynamic && otherBody->solverIndex == 0 && body.restSteps == 0) {
        // A sleeping body touched by one that moves wakes up; one that a resting body leans
        // on sleeps on, and holds it as an obstacle would. Hit faster than a resting body
        // may move, it moves itself, and wakes what it touches in its turn (the blow goes
        // through a sleeping pile at once); grazed, it still counts its rest.
        otherBody->asleep = false;
        if (closingSpeed(solverBodies[body.solverIndex], manifold) > sleep.linearSpeed) {
            otherBody->restSteps = 0;
        }
        if (!prepare(*otherBody)) {
            return;
        }
    }
    if (dynamic) {
        otherIndex = otherBody->solverIndex;
    }

    float friction = body.friction;
    float restitution = body.restitution;
    if (otherBody != nullptr) {
        friction = std::sqrt(friction * otherBody->friction);
        restitution = std::max(restitution, otherBody->restitution);
    }
    // The impulses this pair ended the last step with.
    const ContactImpulse* previous = nullptr;
    int previousCount = 0;
    if (body.touchedAt == steps) {
        for (std::uint32_t k = body.firstTouch; k < body.firstTouch + body.touchCount; ++k) {
            if (lastTouches[k].other == shape) {
                previous = lastTouches[k].impulses;
                previousCount = lastTouches[k].count;
                break;
            }
        }
    }
    solver.add(solverBodies, body.solverIndex, otherIndex, manifold, friction, restitution,
               previous, previousCount, contacts);
    found.push_back(Contact{&body, shape, otherIndex});
    step.points += static_cast<std::size_t>(manifold.count);
}

void Dynamics::move(RigidBody& body) {
    const SolverBody& s = solverBodies[body.solverIndex];
    body.velocity = s.velocity;
    body.angularVelocity = s.angularVelocity;
    const float turnSquared = s.angularVelocity.dot(s.angularVelocity);
    if (turnSquared > MOST_TURN * MOST_TURN) {
        body.angularVelocity = s.angularVelocity * (MOST_TURN / std::sqrt(turnSquared));
    }
    if (!body.velocity.isFinite() || !body.angularVelocity.isFinite()) {
        body.refuse("its contacts gave it a velocity that is not finite");
        return;
    }
    step.kineticEnergy += kineticEnergy(body, solids[body.solverIndex]);
    const Vector3 shift = body.velocity + s.pushVelocity;
    const Vector3 turn = body.angularVelocity + s.pushAngularVelocity;
    if (shift.dot(shift) > 0.0f || turn.dot(turn) > 0.0f) {
        const Solid& solid = solids[body.solverIndex];
        body.owner->transform->applyMatrix(solid.kind == Solid::Kind::BOX
                                               ? boxMotion(*solid.box, body.halfWidths, shift, turn)
                                               : rigidMotion(s.centre, shift, turn));
        body.movedRevision = body.shape->componentTransform->getRevision();
    }
}

// A body rests while it moves slower than the sleep speeds, and one that touches nothing
// only while it does not move at all (one floating slowly through space keeps floating). It
// falls asleep once it has rested for the rest steps and none of the bodies it touches
// moves: a pile sleeps where it has come to rest, while its restless parts stay awake.
void Dynamics::fallAsleep() {
    if (sleep.restSteps <= 0) {
        return;
    }
    const auto count = static_cast<std::uint32_t>(solverBodies.size());
    const float linear = sleep.linearSpeed * sleep.linearSpeed;
    const float angular = sleep.angularSpeed * sleep.angularSpeed;
    touching.assign(count, 0);
    for (std::size_t k = 0; k < found.size(); ++k) {
        touching[found[k].owner->solverIndex] = 1;
        touching[found[k].otherIndex] = 1;
    }
    for (RigidBody* body : awake) {
        const float v = body->velocity.dot(body->velocity);
        const float w = body->angularVelocity.dot(body->angularVelocity);
        const bool resting =
            touching[body->solverIndex] != 0 ? v < linear && w < angular : v == 0.0f && w == 0.0f;
        body->restSteps = resting ? body->restSteps + 1 : 0;
    }
    // Kept awake by a neighbour that moves.
    std::fill(touching.begin(), touching.end(), 0);
    for (std::size_t k = 0; k < found.size(); ++k) {
        const RigidBody& owner = *found[k].owner;
        const std::uint32_t other = found[k].otherIndex;
        if (other != 0 && awake[other - 1]->restSteps == 0) {
            touching[owner.solverIndex] = 1;
        }
        if (owner.restSteps == 0) {
            touching[other] = 1;
        }
    }
    for (RigidBody* body : awake) {
        if (body->restSteps >= sleep.restSteps && touching[body->solverIndex] == 0) {
            body->asleep = true;
            body->velocity = Vector3(0.0f, 0.0f, 0.0f);
            body->angularVelocity = Vector3(0.0f, 0.0f, 0.0f);
        }
    }
}
