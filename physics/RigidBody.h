#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Component.h"
#include "math/Vector3.h"

// Makes its object a solid that collides: it falls, rests, stacks, bounces and slides
// against other solids instead of passing through them. The object's first BoxCollider or
// CircleCollider is its shape, and the world needs the contact stage (Dynamics::enable),
// which moves every rigid body once per running step after all objects have updated.
//
// Units are those of Physics: velocity in world units per step, angular velocity in radians
// per step about the centre of the collider, and a force is a change of velocity per step,
// whatever the mass, so gravity is the same force on every body and a spring pulls a rigid
// body as it pulls a Physics. Mass only decides how an impulse between two bodies is shared;
// the inertia comes from the collider's box (or sphere) as a solid of uniform density.
//
// An object with a collider and no rigid body, or with a rigid body of mass 0, is an
// immovable obstacle. So is a body refused for bad input (a mass or inertia that is not a
// finite positive number, a shape that has none, a body outside the coordinate range, an
// object that a Physics moves as well, whichever came first): getProblem() says why, and the
// setters that refuse answer false and change nothing. A body whose object has no box or sphere
// yet, or whose box other code has sheared, waits where it is until it has one.
//
// A body that has rested for a while, with nothing moving against it, falls asleep: it is no
// longer simulated, and costs next to nothing, until a moving body touches it, a force or a
// velocity is given to it, or its object is moved by other code. Meanwhile it holds what
// rests on it as an obstacle would.
class RigidBody : public Component {
  public:
    /// Friction and restitution of a body unless told otherwise.
    static constexpr float DEFAULT_FRICTION = 0.5f;
    static constexpr float DEFAULT_RESTITUTION = 0.0f;
    /// Beyond this distance from the origin along any axis a body is out of range: single
    /// precision can no longer place its contacts.
    static constexpr float COORDINATE_RANGE = 1e6f;

    /// Mass 1.
    RigidBody();
    /// Mass 0 makes an immovable obstacle; a mass that is negative or not finite is refused
    /// (the body is immovable and getProblem() says why).
    explicit RigidBody(float mass, float friction = DEFAULT_FRICTION,
                       float restitution = DEFAULT_RESTITUTION);

    /// Becomes its object's rigid body; a second rigid body on one object is refused, and so
    /// is one whose object has a Physics.
    void setOwner(GameObject* object) override;
    /// A Physics attached after the body makes it immovable, as one attached before does.
    void siblingAttached(Component& sibling) override;

    /// False, changing nothing, for a negative mass or one that is not finite; 0 makes the
    /// body immovable.
    bool setMass(float mass);
    float getMass() const { return mass; }
    /// Principal moments of inertia about the collider's axes, instead of those of its shape;
    /// false for a moment that is not a finite positive number.
    bool setInertia(const _Tarn::Vector3& moments);
    /// Coulomb friction, from 0 up: contacts between two bodies take the root of the product
    /// of theirs, and with an obstacle without a body the body's own.
    bool setFriction(float friction);
    float getFriction() const { return friction; }
    /// Share of the closing speed a contact gives back, 0 to 1; two bodies take the larger.
    bool setRestitution(float restitution);
    float getRestitution() const { return restitution; }

    /// World units per step; false for a velocity that is not finite. Wakes the body.
    bool setVelocity(const _Tarn::Vector3& velocity);
    _Tarn::Vector3 getVelocity() const { return velocity; }
    /// Radians per step about the centre; false when not finite. Wakes the body.
    bool setAngularVelocity(const _Tarn::Vector3& angularVelocity);
    _Tarn::Vector3 getAngularVelocity() const { return angularVelocity; }
    /// A change of velocity at the next step only; false when not finite. Wakes the body,
    /// unless the force is 0.
    bool addForce(const _Tarn::Vector3& force);
    /// A change of velocity at every step the body is awake (gravity); false when not finite.
    bool addConstantForce(const _Tarn::Vector3& force);

    /// Whether the contact stage moves the body: it has mass, a shape and no problem.
    bool isMovable() const;
    bool isAsleep() const { return asleep; }
    void wake();
    /// Why the body is immovable against its will; empty while there is no problem.
    const std::string& getProblem() const { return problem; }

  private:
    friend class Dynamics;

    void refuse(const std::string& why);
    /// Its object has a Physics too, which would move it a second time every step.
    void refuseBesidePhysics();
    /// Sets the field to a finite value and wakes the body; false, changing nothing, else.
    bool wakeWith(_Tarn::Vector3& field, const _Tarn::Vector3& value);
    /// Rigid bodies attached to objects so far, in any world: the stage looks for bodies
    /// again when it changes.
    static std::uint64_t attachments();

    float mass = 1.0f;
    float friction = DEFAULT_FRICTION;
    float restitution = DEFAULT_RESTITUTION;
    // Principal moments given by setInertia(); 0: from the shape.
    _Tarn::Vector3 inertia{0.0f, 0.0f, 0.0f};
    _Tarn::Vector3 velocity{0.0f, 0.0f, 0.0f};
    _Tarn::Vector3 angularVelocity{0.0f, 0.0f, 0.0f};
    _Tarn::Vector3 force{0.0f, 0.0f, 0.0f};
    std::vector<_Tarn::Vector3> constantForces;
    std::string problem;

    // Kept by the contact stage.
    bool asleep = false;
    int restSteps = 0;
    // The revision of the shape's geometry after the stage last moved it: another revision
    // means other code moved the object.
    std::uint64_t movedRevision = 0;
    // The half-widths of the shape's box when other code last shaped it: the stage holds the
    // box to them, and to square corners, as it moves it.
    _Tarn::Vector3 halfWidths{0.0f, 0.0f, 0.0f};
    std::uint32_t index = 0;        // among the stage's bodies
    std::uint32_t solverIndex = 0;  // among this step's solver bodies; 0: not solved
    Component* shape = nullptr;     // the collider, once found
    // The contacts this body owned at the stage's step `touchedAt` (see Dynamics).
    std::uint64_t touchedAt = 0;
    std::uint32_t firstTouch = 0;
    std::uint32_t touchCount = 0;
};
