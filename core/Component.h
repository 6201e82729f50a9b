#pragma once

#include <memory>
#include <string>

class ComponentTransform;
class GameObject;

// Base of every behaviour attached to a GameObject: shapes, physics, colliders, mounts,
// tethers and keyboard controllers.
//
// Kinds are told apart at run time by an upper-case type tag ("PHYSICS", "BOXCOLLIDER", ...):
// objects look components up by exact tag, and treat every tag containing "COLLIDER" as a
// collider. A subclass constructor overwrites the tag its base set; one that sets none keeps
// its nearest ancestor's.
class Component {
  public:
    /// Both flags false, no owner, no geometry, tag "COMPONENT".
    Component();
    Component(bool updateEnabled, bool drawEnabled);
    virtual ~Component();

    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    /// Draws nothing; shapes, colliders, mounts and tethers draw themselves.
    virtual void draw(int elapsedMs);
    /// Forwards to the geometry's own update while updateEnabled.
    virtual void update(int elapsedMs);
    /// Records the owner and moves the geometry, built around the origin, onto the owner's
    /// position. A null owner changes nothing.
    virtual void setOwner(GameObject* object);
    /// Told of each component attached to the owner after this one; ignores it here. Lets a
    /// component refuse a combination whichever part came first.
    virtual void siblingAttached(Component& sibling) { (void)sibling; }
    /// True for components that draw only through drawPoints() and drawDot()
    /// (core/PointDrawing.h): their points may wait in the frame's draw batch. Any other
    /// component's draw first has the batch sent, so it may draw by any means.
    virtual bool drawsThroughBatch() const { return false; }

    const std::string& getTypeTag() const { return typeTag; }
    bool hasComponentTransform() const { return componentTransform != nullptr; }

    /// The component's points in world space; components without geometry have none.
    std::unique_ptr<ComponentTransform> componentTransform;
    /// The object the component is attached to (not owned).
    GameObject* owner = nullptr;
    std::string typeTag = "COMPONENT";
    bool updateEnabled = false;
    bool drawEnabled = false;
};
