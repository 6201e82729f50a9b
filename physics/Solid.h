#pragma once

#include "collision/ContactManifold.h"
#include "collision/OrientedBox.h"
#include "math/Vector3.h"

class Component;
class GameObject;

// A collider as the contact stage sees it: a box (BoxCollider, the box its test reads) or a
// sphere (CircleCollider, its centre and radius), read as the collider stands now.
struct Solid {
    enum class Kind { NONE, BOX, SPHERE };

    Kind kind = Kind::NONE;
    const OrientedBox* box = nullptr;  // the collider's own kept box, for BOX
    _Tarn::Vector3 centre{0.0f, 0.0f, 0.0f};
    float radius = 0.0f;  // SPHERE
    /// A sphere about the centre that holds the solid.
    float reach = 0.0f;

    /// Reads a CircleCollider (or a class derived from it), or a collider that answers for a
    /// box (Collider::plainBox: a BoxCollider does); NONE for any other component, and for one
    /// whose geometry is missing or is no plain box or sphere (sheared, not finite, out of
    /// range, a negative radius).
    static Solid of(Component* collider);
    /// The first collider of the object that makes a solid; NONE when there is none.
    static Solid firstOf(const GameObject& object, Component** collider = nullptr);

    bool valid() const { return kind != Kind::NONE; }
    /// Principal moments of inertia about the box's axes (or any axes of a sphere) of a solid
    /// of uniform density and the given mass.
    _Tarn::Vector3 inertia(float mass) const;
};

/// The contact of two solids, the normal from a towards b; false when they do not touch.
bool contactBetween(const Solid& a, const Solid& b, ContactManifold& out);
