#pragma once

#include "collision/Bounds.h"
#include "core/Component.h"
#include "math/Point.h"

struct OrientedBox;

// Base of the collision shapes. It owns the collider's geometry (a ComponentTransform whose
// point 0 is the centre and which follows the owner) and runs the per-step loop that tests
// this collider against every collider of every candidate its object was offered.
//
// Collision here is detection only: a test answers whether two colliders touch, and the only
// lasting effect is what a shape chooses to show (a box colours its corners).
class Collider : public Component {
  public:
    /// Tag "COLLIDER", flags false, geometry holding only the centre.
    Collider();
    /// The centre argument is not used: the geometry is centred where attaching puts it.
    Collider(bool updateEnabled, bool drawEnabled, Point centre, bool colliderFlag);
    /// As above, then `centre` becomes the geometry's centre offset; `extra` is not used.
    Collider(bool updateEnabled, bool drawEnabled, int extra, Point centre, bool colliderFlag);

    /// The centre as a 4-pixel dot while drawEnabled.
    void draw(int elapsedMs) override;
    /// True for this class itself; a subclass may draw by other means.
    bool drawsThroughBatch() const override;
    /// The collision loop: calls collide() once for every collider of every candidate of the
    /// owner, in order. Runs only while updateEnabled and attached.
    void update(int elapsedMs) override;

    /// Whether this collider touches `other`. A plain collider touches nothing.
    virtual bool collide(Component* other);

    /// World-axis bounds of everything this collider's tests can find it touching, read from
    /// its geometry as it is now: a broad phase offers it only objects whose colliders' bounds
    /// overlap these. False when it cannot tell (not finite, say); it is then offered
    /// everything and offered to everything. A class that overrides collide() must override
    /// this too, or be taken to reach everything: the base, and every class that does not
    /// answer for itself, answers false.
    virtual bool bounds(Bounds& out);
    /// The box whose plain box test (BoxCollider::collideWithBox) is exactly what this
    /// collider's tests do, so that a broad phase may run them on a copy; null for anything
    /// else (the base, and every class that does not answer for itself). The bounds of a
    /// collider that answers are its box's (OrientedBox::bounds).
    virtual const OrientedBox* plainBox();

    /// Stored for the shapes' constructors; nothing reads it.
    bool colliderFlag = false;

  protected:
    // Called around the tests of one collision loop, so that a shape can sum up a whole step
    // (a box touching any of several candidates) instead of showing only its last test.
    virtual void beginTests() {}
    virtual void endTests() {}
    /// Calls collide() once for every collider of every candidate of the owner, in order.
    virtual void testCandidates();
};
