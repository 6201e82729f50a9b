#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CandidateSource.h"
#include "math/Point.h"

class Component;
class Matrix;
class Quaternion;
class Transform;

// One thing in the scene: a Transform holding its position and an ordered list of owned
// components that give it behaviour and appearance.
//
// The World offers every object every other object as a collision candidate before each
// running step; an object with at least one collider keeps them for its colliders to test
// and forgets them at the end of its update.
class GameObject {
  public:
    /// Neither updates nor draws until its flags are set; stands at the origin.
    GameObject();
    GameObject(bool updateEnabled, bool drawEnabled, Point position);
    virtual ~GameObject();

    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    /// Components in attachment order, then the transform; then the candidates are dropped.
    virtual void update(int elapsedMs);
    /// Components in attachment order, the transform, then a white dot at the origin.
    virtual void draw(int elapsedMs);
    /// Records the candidate only when this object has a collider.
    virtual void addCollisionCandidate(GameObject* other);
    /// `removed` is leaving the world and about to be deleted: drops every pointer to it (here
    /// the candidate; a Spring lets go of its ends). Objects that keep pointers to other
    /// objects override it.
    virtual void forgetObject(const GameObject& removed);
    /// Places the position and the shear pivot at p.
    virtual void moveTo(Point p);
    virtual void setPosition(Point p);

    /// Attaches a component created with new and takes ownership of it. A null component, or
    /// one that already has an owner, is refused (it would be deleted twice): returns false.
    bool addComponent(Component* component);
    /// The first component whose tag equals `tag` exactly, or null.
    Component* getComponent(const std::string& tag) const;
    /// The transform's position; red at the origin when there is no transform.
    Point getPosition() const;

    /// Hands one matrix or quaternion of the transform to every component with geometry.
    void applyMatrixToComponents(const Matrix& m);
    void applyQuaternionToComponents(const Quaternion& q);
    /// Called by the transform whenever the position changed: every component's geometry
    /// learns where its owner now stands.
    void positionChanged();

    /// Hands several matrices, to act in order, to every component with geometry.
    void applyMatricesToComponents(const std::vector<Matrix>& ms);
    void applyMatricesToComponents(const Matrix* ms, std::size_t count);

    /// Called by a component's geometry whenever its points change.
    void geometryChanged() {
        if (candidateSlot.source != nullptr) {
            candidateSlot.source->geometryChanged(*this);
        }
    }
    /// Called by a collider before it tests: in a world with a candidate source, brings
    /// collisionCandidates up to date with the geometry as it is now. Otherwise nothing.
    void refreshCollisionCandidates();

    /// Unique among all objects of the process, never 0: names the object where its address
    /// alone could be taken by another object built after it was deleted.
    std::uint64_t getId() const { return id; }

    /// Attached components whose tag contains "COLLIDER", in attachment order (also owned
    /// through `components`).
    std::vector<Component*> colliders;
    /// Objects offered in the current step (not owned).
    std::vector<GameObject*> collisionCandidates;
    std::unique_ptr<Transform> transform;
    bool drawEnabled = false;
    bool updateEnabled = false;
    bool hasCollider = false;
    std::string typeTag = "GAMEOBJECT";
    std::vector<std::unique_ptr<Component>> components;
    /// The candidate source holding this object, if any, and where it keeps it: written and
    /// read by that source alone (see CandidateSource).
    CandidateSlot candidateSlot;

  private:
    static std::uint64_t nextId();

    std::uint64_t id = nextId();
};
