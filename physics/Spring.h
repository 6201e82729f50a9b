#pragma once

#include "core/GameObject.h"
#include "math/Point.h"
#include "math/Vector3.h"

class Component;
class Physics;
class RigidBody;
class Tether;

// Joins two components on two different objects (usually their Mounts) and pulls each end's
// object towards the other with a force proportional to their separation. The pull goes to
// the Physics and to the RigidBody of each end's object (a change of velocity per step for
// either); an end whose object has neither is a fixed anchor.
//
// A spring is an object of the world, not a component: it is updated after the objects it
// joins and draws through the Tether it owns among its components. The force law has no rest
// length and no damping, so the ends are always drawn together and keep oscillating.
class Spring : public GameObject {
  public:
    /// Both flags false, stiffness 0: draws a line and pulls nothing.
    Spring();
    Spring(bool updateEnabled, bool drawEnabled, float stiffness, float springLength);

    /// Reads both ends, updates the line, then pushes each end's Physics. Does nothing more
    /// than the object update until both ends are connected and readable.
    void update(int elapsedMs) override;

    /// Fixes the ends and looks up, once, the Physics and the RigidBody of each end's object.
    /// Both ends must already be attached to their objects. Shows the line again after a
    /// disconnect().
    void connect(Component* a, Component* b);
    /// Lets go of both ends: no pull on either and no line, until the next connect().
    void disconnect();
    /// Disconnects when either end belongs to `removed`.
    void forgetObject(const GameObject& removed) override;
    /// Point 1 of the end's point list (a Mount's mount point, a Physics's centre of mass);
    /// the black origin for an end without such a point.
    Point endPoint(Component* end) const;
    /// stiffness * (to - from): the pull on the end at `from`.
    _Tarn::Vector3 springForce(const Point& from, const Point& to) const;

    /// Not owned; null when the end's object had no Physics at connect.
    Physics* physicsA = nullptr;
    Physics* physicsB = nullptr;
    /// Not owned; null when the end's object had no RigidBody at connect.
    RigidBody* bodyA = nullptr;
    RigidBody* bodyB = nullptr;
    /// Owned through the component list.
    Tether* tether = nullptr;
    /// Not owned; null until connect.
    Component* endA = nullptr;
    Component* endB = nullptr;
    /// Kept for scene builders; the force law does not use it.
    float springLength = 0.0f;
    float stiffness = 0.0f;

  private:
    void attachTether(bool updateEnabled, bool drawEnabled);
};
