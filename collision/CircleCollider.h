#pragma once

#include "collision/Bounds.h"
#include "collision/Collider.h"

class BoxCollider;

// A sphere: the centre of the collider's geometry (which follows the owner) and a radius.
//
// The sphere test is reached through collideWith(); collide(), which the collision loop
// calls, is the base one, so a circle collider's own step never reports contact.
class CircleCollider : public Collider {
  public:
    /// Radius 0.
    CircleCollider();
    /// Radius 0; the centre argument is not used.
    CircleCollider(bool updateEnabled, bool drawEnabled, Point centre, bool colliderFlag);
    /// The centre argument is not used.
    CircleCollider(bool updateEnabled, bool drawEnabled, bool colliderFlag, Point centre,
                   float radius);
    /// `centre` becomes the geometry's centre offset; `extra` is not used.
    CircleCollider(bool updateEnabled, bool drawEnabled, bool colliderFlag, Point centre,
                   float radius, int extra);

    /// Three diameters along the world axes while drawEnabled.
    void draw(int elapsedMs) override;

    float getRadius() const { return radius; }

    /// Dispatches on the exact tag of `other`: a circle gets the sphere test, anything else
    /// (boxes included) answers false.
    virtual bool collideWith(Component* other);
    /// True when the spheres overlap or just touch; false for a NaN distance.
    bool collideWithCircle(CircleCollider* other);
    /// There is no sphere-versus-box test: always false.
    bool collideWithBox(BoxCollider* other);
    /// World-axis bounds holding the sphere; false when centre or radius is not finite.
    /// Answered for this class alone (see Collider::bounds).
    bool bounds(Bounds& out) override;
    bool sphereBounds(Bounds& out) const;

    float radius = 0.0f;
};
