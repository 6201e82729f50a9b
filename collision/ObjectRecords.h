#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "collision/Bounds.h"
#include "collision/OrientedBox.h"
#include "math/Vector3.h"

class Collider;
class GameObject;

/// The bounding sphere of a plain box, which its box test compares first (so spheres apart
/// mean no contact); infinite for anything else.
struct BoundingSphere {
    _Tarn::Vector3 centre{0.0f, 0.0f, 0.0f};
    float reach = std::numeric_limits<float>::infinity();
    /// Seen from the receiver, as its box test sees it.
    bool mayMeet(const BoundingSphere& other) const {
        return OrientedBox::spheresMayMeet(centre, reach, other.centre, other.reach);
    }
};

/// What the queries and tests of other objects read of an object: one byte, in a dense list.
struct ObjectState {
    bool hasColliders : 1;
    /// Some collider cannot tell its bounds: it reaches every object.
    bool unbounded : 1;
    /// Its only collider is a plain box (Collider::plainBox), copied into the box batch.
    bool plainBox : 1;
    /// Some collider is a BoxCollider, of any class: the all-pairs step shows it every box.
    bool hasBox : 1;
    /// Had a collider when the step began: offered candidates in it.
    bool receives : 1;
    /// Gained its first collider during a step: receives from the next one on.
    bool gainingCollider : 1;

    ObjectState()
        : hasColliders(false),
          unbounded(false),
          plainBox(false),
          hasBox(false),
          receives(false),
          gainingCollider(false) {}
};

/// What only the object's own reading and queries use.
struct ObjectRecord {
    /// The largest geometry revision among its colliders, and their number, when last read.
    std::uint64_t colliderRevision = 0;
    std::uint32_t colliderCount = 0;
    /// The step in which its object's collisionCandidates were last filled.
    std::uint32_t filledAt = 0;
    /// Its collider as a Collider, when it has exactly one (null if that is no Collider):
    /// found once as it comes, as colliders are never taken off.
    Collider* soleCollider = nullptr;
    /// Its candidates as slots, in slot order, and the generation they were found at.
    std::vector<std::uint32_t> kept;
    std::uint64_t keptAt = 0;
};

// What the broad phase knows of the objects it holds, in the slot each object was given when
// it was taken in (slots follow insertion order): the object, its state, when it last changed
// and its record, each in a list of its own by how often others read it (the box tests of a
// step read state and change of every candidate: small lists stay in the nearest cache), all
// appended in one place. Where it is (bounds and sphere), which the index alone compares,
// lives in the index.
class ObjectRecords {
  public:
    /// Room for the usual few candidates per object, so that lists rarely grow as objects move.
    static constexpr std::size_t KEPT_RESERVE = 32;

    /// The next slot, for `object`, which it returns; read on the next refresh().
    std::uint32_t append(GameObject& object);
    /// Empties the slot of an object that has left.
    void clear(std::uint32_t slot);

    /// Reads the slot again from its object's colliders if their geometry revisions or their
    /// number changed since the last read. Returns whether it did; `bounds` are then the
    /// union of the colliders' bounds (meaningless while unbounded), `sphere` a plain box's
    /// bounding sphere, and `plain` the box to copy for a plain box (null otherwise).
    bool refresh(std::uint32_t slot, Bounds& bounds, BoundingSphere& sphere,
                 const OrientedBox*& plain);

    /// The object in `slot`; null once it has left (the slot then stays empty for good).
    GameObject* objectAt(std::uint32_t slot) const { return objects[slot]; }
    ObjectState& state(std::uint32_t slot) { return states[slot]; }
    /// The broad phase's generation when the slot's colliders' geometry or number last changed.
    std::uint64_t& changedAt(std::uint32_t slot) { return changes[slot]; }
    std::uint64_t changedAt(std::uint32_t slot) const { return changes[slot]; }
    const ObjectState& state(std::uint32_t slot) const { return states[slot]; }
    ObjectRecord& record(std::uint32_t slot) { return records[slot]; }
    const ObjectRecord& record(std::uint32_t slot) const { return records[slot]; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(objects.size()); }
    /// Held objects with a BoxCollider among their colliders.
    std::uint32_t boxHolders() const { return boxHolderCount; }

    /// The largest geometry revision among the object's colliders.
    static std::uint64_t revisionOf(const GameObject& object);
    /// Whether the slot's colliders changed since it was last read.
    bool stale(std::uint32_t slot) const;

  private:
    std::vector<GameObject*> objects;
    std::vector<ObjectState> states;
    std::vector<std::uint64_t> changes;
    std::vector<ObjectRecord> records;
    std::uint32_t boxHolderCount = 0;
};
